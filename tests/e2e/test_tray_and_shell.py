"""A copy started hidden with the m switch: figures against the system's own, a second copy, help without its
file, and many refreshes."""
import os
from harness import *

WM_TIMER, WM_COMMAND, TRAY_CALLBACK = 0x113, 0x111, 0x200
OLD = 10**18  # a modification time in 2001: any write moves it
PRIVATE_BYTES_BOUND = 32 * 1024  # 2,000 refreshes leaking 16 bytes each would pass it
OPEN_FILES_BOUND = 3  # the wineserver's own come and go; a root left open per question adds thousands


class StartedHidden(unittest.TestCase):
    def test_second_copy_missing_help_refreshes_and_a_new_shell(self):
        with Session(self, help_file=False, windows="winxp") as s:  # before Vista: the viewer always
            # The last slot watches a drive of known size that nothing else writes to.
            drive = s.dir / "t"
            drive.mkdir()
            subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64m", "tmpfs", drive], check=True)
            s.map_drive("t", drive)
            original = cfg_bytes(["c:\\", "", "z:\\", "", "", "t:\\"], 1500, 1200)
            s.cfg.write_bytes(original)
            os.utime(s.cfg, ns=(OLD, OLD))
            first = s.start_exe("/min")
            tips = wait_until(s.tips, "the tray icon", 60)
            self.assertRegex(tips[0]["text"], r"^c:\d+MB z:\d+MB t:\d+MB$")
            self.assertFalse(s.window(SMALL)["visible"], "the drive window shows despite the m")

            # The figures are the system's own, and follow a file written between two refreshes.
            small, tray = s.window(SMALL)["hwnd"], s.window(TBAR)["hwnd"]
            for megabytes in (0, 5):
                (drive / "filler").write_bytes(b"k" * megabytes * 1048576)
                tip, line = s.free_texts("t:\\")
                self.assertTrue(s.send(small, WM_TIMER, 1, 0)["ok"] and s.send(tray, TRAY_CALLBACK, 0, TRAY_CALLBACK)["ok"])
                wait_until(lambda: s.tips()[0]["text"].endswith(" " + tip), f"{tip} in the tooltip")
                wait_until(lambda: [c for c in s.window(SMALL)["children"] if c["text"] == line], f"{line} in the drive window")
            self.assertNotEqual(s.free_texts("t:\\")[0], "t:64MB", "the file changed no figure: the check proves nothing")

            windows = sorted(w["hwnd"] for w in s.windows())

            second = s.start_exe()
            second.wait(30)
            self.assertEqual(sorted(w["hwnd"] for w in s.windows()), windows, "the second copy left windows")
            self.assertEqual(len(s.tips()), 1, "the second copy added an icon")
            self.assertEqual(s.cfg.stat().st_mtime_ns, OLD, "the second copy wrote the file")

            # The viewer says in its own words that the file is missing; the program runs on.
            pid = s.window(TBAR)["pid"]
            s.tray_menu("H")
            box = wait_until(lambda: [w for w in s.windows("#32770") if w["visible"] and w["pid"] != pid],
                             "the viewer's message")[0]
            self.assertIn(s.folder + "\\kestrovan99.hlp", " ".join(c["text"] for c in box["children"]).replace("/", "\\"))
            answer = [c["id"] for c in box["children"] if c["class"] == "Button" and c["text"].strip("&") == "No"]
            s.ask("post", box["hwnd"], WM_COMMAND, (answer or [2])[0], 0)
            wait_until(lambda: not [w for w in s.windows("#32770") if w["visible"]], "the message to close")

            # 1,000 drive window ticks and 1,000 tray callbacks after 100 of each: no GDI object,
            # next to no private byte and no file (a drive's root opened for each question) is left behind.
            def refresh(times):
                self.assertTrue(s.send(small, WM_TIMER, 1, 0, times)["ok"] and
                                s.send(tray, TRAY_CALLBACK, 0, TRAY_CALLBACK, times)["ok"])
                return [s.send(tray, f"Kestrovan99.{n}")["result"] for n in ("GdiObjects", "PrivateBytes")] + [
                    s.server_files()]

            (gdi, private, files), (gdi_after, private_after, files_after) = refresh(100), refresh(1000)
            print(f"GDI objects {gdi} -> {gdi_after}, private bytes {private} -> {private_after}, "
                  f"files open {files} -> {files_after}")
            self.assertGreater(gdi, 0)
            self.assertEqual(gdi_after, gdi, "refreshes leak GDI objects")
            self.assertLess(private_after - private, PRIVATE_BYTES_BOUND, "refreshes leak memory")
            self.assertLess(files_after - files, OPEN_FILES_BOUND, "refreshes leave files open")
            self.assertIsNone(first.poll(), "the program ended")
            self.assertEqual(s.cfg.read_bytes(), original)


if __name__ == "__main__":
    main()
