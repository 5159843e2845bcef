"""Saving where it cannot, and being killed while it saves: a clear message that names the folder as the user
typed it and belongs to the window the save came from, and a settings file that is always whole."""
import random, signal
from harness import *

WM_COMMAND, IDOK, WM_LBUTTONDOWN, TRAY_CALLBACK = 0x111, 1, 0x201, 0x200
FOLDER = "C:\\Zo\u00eb"  # a name outside ASCII, as the user types it
KILL_ROUNDS = 6


class Saves(unittest.TestCase):
    def test_a_read_only_folder_gives_the_message_and_a_kill_mid_save_leaves_a_whole_file(self):
        with Session(self, folder=FOLDER) as s:
            original = cfg_bytes(["c:\\"], 1500, 1200)
            s.cfg.write_bytes(original)
            subprocess.run(["mount", "--bind", s.app, s.app], check=True)
            subprocess.run(["mount", "-o", "remount,bind,ro", s.app], check=True)
            program = s.start_exe()
            small = wait_until(lambda: s.tips() and s.shown(SMALL), "the drive window", 60)
            s.click(center(small["client"])[0], small["client"][3] - 4)  # a plain click closes it and saves
            box = wait_until(lambda: [w for w in s.windows("#32770") if w["visible"]], "the message")[0]
            text = "\n".join(c["text"] for c in box["children"])
            self.assertIn("could not save", text)
            with self.subTest("the folder's name as the user typed it"):
                self.assertIn(FOLDER + "\\kv99.cfg", text)
            self.assertEqual(box["owner"], small["hwnd"], "the message does not belong to the drive window")
            self.assertTrue(box["topmost"], "the message opens under the drive window")
            s.ask("post", box["hwnd"], WM_COMMAND, IDOK, 0)
            wait_until(lambda: not [w for w in s.windows("#32770") if w["visible"]], "the message to close")
            self.assertIsNone(program.poll(), "the program ended")
            s.click(*center(s.tips()[0]["rect"]))  # the program takes the user's hand again
            wait_until(lambda: s.shown(SMALL), "the drive window from a click on the icon")
            self.assertEqual(s.cfg.read_bytes(), original)
            program.kill()
            program.wait()
            # Wine lets go of a killed program's folder a moment after the process has gone.
            wait_until(lambda: subprocess.run(["umount", s.app], stderr=subprocess.DEVNULL).returncode == 0,
                       "the read-only folder to be let go")

            # Whole saves (a click closes the drive window, the tray callback shows it again), then one
            # more, cut by a kill the moment its temporary file shows (odd rounds) or at a random moment
            # (even rounds): the file is always the whole of one save.
            seed = random.randrange(10**6)
            print(f"kill rounds with seed {seed}")
            rng, cut = random.Random(seed), 0
            for round_no in range(1, KILL_ROUNDS + 1):
                program = s.start_exe()
                small = wait_until(lambda: s.tips() and s.shown(SMALL), "the program", 60)
                close = ["mousemove", center(small["client"])[0], small["client"][3] - 4, "click", 1]
                for _ in range(rng.randint(0, 3)):
                    saved = s.cfg.stat().st_mtime_ns
                    s.xdotool(*close)
                    wait_until(lambda: s.cfg.stat().st_mtime_ns != saved, "a save")
                    s.ask("post", s.window(TBAR)["hwnd"], TRAY_CALLBACK, 1, WM_LBUTTONDOWN)
                    wait_until(lambda: s.shown(SMALL), "the drive window again")
                (s.app / "kv99.cfg.new").unlink(missing_ok=True)  # the last cut save's, written over by the saves above
                clicking = subprocess.Popen(["xdotool", *map(str, close)], env=dict(os.environ, DISPLAY=s.display))
                deadline = time.monotonic() + (5 if round_no % 2 else rng.uniform(0, 0.02))
                while time.monotonic() < deadline and not (s.app / "kv99.cfg.new").exists():
                    pass  # a save takes moments only: look without pause
                os.kill(program.pid, signal.SIGKILL)
                program.wait()
                clicking.wait()
                cut += (s.app / "kv99.cfg.new").exists()
                self.assertEqual(s.cfg.read_bytes(), original, f"round {round_no}, seed {seed}")
            self.assertGreater(cut, 0, "no kill came in the middle of a save")


if __name__ == "__main__":
    main()
