"""A drive that does not answer (a FUSE file system of the test's own, mapped as x:) in slot 2: the
drive window goes on answering and slot 1 goes on refreshing, the first time x: is held and the next;
the answer shows when it comes; Quit does not wait for the drive."""
import contextlib, re, time

from harness import *
from blocking_fs import BlockingFs

WM_NULL = 0


class SlowDrive(unittest.TestCase):
    def test_a_drive_that_does_not_answer_holds_up_nothing_but_its_own_figure(self):
        drive = BlockingFs(WORK / f"slow-{Session.build.name}")
        why = drive.mount()
        if why:
            print("skipped:", why)
            self.skipTest(why)
        try:
            # A failed check lets go of the drive before the session ends the program, whose thread
            # would otherwise wait in the drive for good.
            with Session(self) as s, contextlib.ExitStack() as letting_go:
                letting_go.callback(drive.let_go)
                s.map_drive("x", drive.folder)
                s.cfg.write_bytes(cfg_bytes(["c:\\", "x:\\"], 1500, 1200))
                program = s.start_exe()
                small = wait_until(lambda: s.shown(SMALL), "the drive window", 60)["hwnd"]
                lines = lambda: {c["text"][:2]: c["text"] for c in s.window(SMALL)["children"] if c["text"]}
                c_first = lambda: re.fullmatch(r"c: \d+\.\d\d MB", lines().get("c:", "")) and lines()["c:"] != "c: 0.00 MB"
                c_before = wait_until(c_first, "c:'s first answer") and lines()["c:"]

                # c: has less room; over three ticks of the drive window's timer it says so, while
                # every message to the window comes back at once and x: has not answered.
                (s.prefix / "drive_c" / "filler").write_bytes(b"\1" * (64 << 20))
                slowest, start = 0, time.monotonic()
                while time.monotonic() - start < 6.5:
                    sent = time.monotonic()
                    self.assertTrue(s.send(small, WM_NULL)["ok"])
                    slowest = max(slowest, time.monotonic() - sent)
                self.assertLess(slowest, 0.5, "the drive window stopped answering")
                self.assertNotEqual(lines()["c:"], c_before, "slot 1 was not refreshed")
                self.assertEqual(lines()["x:"], "x: 0.00 MB")

                self.assertGreater(drive.release(), 0, "x: was never asked")
                wait_until(lambda: lines()["x:"] == "x: 10.00 MB", "x:'s answer in its line")

                # Quit while x: is asked again: the windows and the icon go at once. Wine ends the
                # process itself only when its thread comes back from the file system.
                wait_until(lambda: drive.held, "x: asked again")
                # Held again, x: is left to itself again: c: has more room and says so.
                c_held = lines()["c:"]
                (s.prefix / "drive_c" / "filler").unlink()
                wait_until(lambda: lines()["c:"] != c_held, "c:'s figure while x: is held again", 10)
                s.tray_menu("Q")
                wait_until(lambda: not s.windows() and not s.tips(), "the windows and the icon to go", 3)
                self.assertTrue(drive.held, "x: answered meanwhile: the check proves nothing")
                drive.release()
                program.wait(10)
        finally:
            drive.unmount()

    def test_a_watched_drive_slow_to_answer_keeps_no_wine_program_waiting(self):
        """Every free-space question to x: takes 10 s, the wineserver's look at the device too: while
        the wineserver waits, no Wine program gets input. Its look as the program first opens the
        drive cannot be helped: from the program's first question on, sampled every half second for 25 s."""
        drive = BlockingFs(WORK / f"slower-{Session.build.name}", slow=10)
        if why := drive.mount():
            self.skipTest(why)
        try:
            with Session(self) as s:
                s.map_drive("x", drive.folder)
                s.cfg.write_bytes(cfg_bytes(["c:\\", "x:\\"], 1500, 1200))
                s.start_exe()
                wait_until(lambda: s.shown(SMALL), "the drive window", 60)
                wait_until(lambda: drive.program_questions, "x: asked", 40)
                samples = []
                for _ in range(50):
                    samples.append(drive.server_waiting())
                    time.sleep(0.5)
                print(f"the wineserver waited on x: in {sum(samples)} of {len(samples)} samples")
                self.assertLessEqual(sum(samples), 2)
        finally:
            drive.unmount()


if __name__ == "__main__":
    main()
