"""The start-hidden switch: a lower-case m or an upper-case M anywhere on the command line."""

import re

import kvwine
from kvwine import SMALL, KvTestCase, wait_until, write_cfg


class StartSwitch(KvTestCase):
    def start_with_file(self, s, *args):
        write_cfg(s, ["c:\\"], left=1500, top=1200)
        prog = s.start_exe(*args)
        tips = wait_until(lambda: s.tray_texts() or not prog.running, 60, 0.2, "the tray icon")
        self.assertTrue(prog.running, f"the program ended:\n{prog.output()}")
        self.assertEqual(len(tips), 1, f"tray tips: {tips}")
        self.assertRegex(tips[0], r"^c:\d+MB$")
        # Start-up is over once the program waits for input in its event loop.
        sml = s.window(SMALL)
        self.assertIsNotNone(sml, "the drive window is loaded at start-up in any case")
        self.assertTrue(s.idle(sml["pid"]), "the program never became idle")
        reply = s.regmsg("Kestrovan99.GdiObjects", sml["hwnd"])
        self.assertTrue(reply["ok"], "the drive window does not answer")
        return prog, s.window(SMALL)

    def test_m_or_M_anywhere_starts_with_the_tray_icon_only(self):
        for arg in ("m", "/min", "Mini", "-m", "xmx", "/M"):
            with self.subTest(arg=arg), self.fresh_session(tag=re.sub(r"\W", "_", arg)) as s:
                prog, sml = self.start_with_file(s, arg)
                self.assertFalse(sml["visible"], f"the drive window shows with {arg!r}")
                self.assertTrue(prog.running)
                self.assertEqual(len(s.tray()), 1)

    def test_other_switches_show_the_drive_window_even_from_a_folder_with_m_in_its_path(self):
        # Only the arguments count, not the program's own path.
        for arg in ("/x", "/N", None):
            with self.subTest(arg=arg), self.fresh_session(
                    tag=re.sub(r"\W", "_", arg or "none"),
                    app_folder=r"C:\Program Files\Kestrovan Mm") as s:
                prog, sml = self.start_with_file(s, *([arg] if arg else []))
                self.assertTrue(sml["visible"], f"the drive window is hidden with {arg!r}")
                self.assertTrue(prog.running)


if __name__ == "__main__":
    kvwine.main()
