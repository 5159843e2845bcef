"""First start in an empty folder: the set-up steps, watched from outside."""

import ntpath

import kvwine
from kvwine import OPTIONS, SMALL, KvTestCase, wait_until

# Six empty quoted slots, then left and top 0, every line ended by CR LF.
FIRST_RUN_FILE = b'""\r\n' * 6 + b"0\r\n0\r\n"
HELP_CONTEXT = 1
WINEHELP_MAGIC = 0xA1DE505


class FirstRun(KvTestCase):
    def test_empty_folder_shows_drive_window_asks_help_writes_file_then_opens_options(self):
        s = self.session()
        self.assertFalse(s.cfg.exists())
        prog = s.start_exe()

        opts = wait_until(lambda: s.visible(OPTIONS) or not prog.running, 60, 0.2,
                          "the Options window of the set-up steps")
        self.assertTrue(prog.running, f"the program ended during set-up:\n{prog.output()}")

        # The file exists, byte for byte, by the time the Options window shows.
        self.assertCfgBytes(s, FIRST_RUN_FILE)

        # Both windows are up; Options is modal and owned by the drive window.
        self.assertEqual(opts["text"], "Options")
        sml = s.window(SMALL)
        self.assertIsNotNone(sml, "no drive window")
        self.assertTrue(sml["visible"], "the set-up steps show the drive window")
        self.assertEqual(opts["owner"], sml["hwnd"], "Options must be owned by the drive window")
        self.assertFalse(sml["enabled"], "a modal Options window disables the drive window")
        self.assertEqual(opts["pid"], sml["pid"])

        # One help request, at the set-up topic, for the help file beside the program,
        # made while the drive window showed, before the file and the Options window.
        requests = s.help_requests()
        self.assertEqual(len(requests), 1, f"help requests: {requests}")
        req = requests[0]
        self.assertEqual(req["magic"], WINEHELP_MAGIC)
        self.assertEqual(req["command"], HELP_CONTEXT)
        self.assertEqual(req["data"], 30000)
        self.assertEqual(ntpath.normcase(req["file"] or ""),
                         ntpath.normcase(s.app_win + "\\kestrovan99.hlp"))
        self.assertEqual(req["from_pid"], sml["pid"])
        shown = {w["class"]: w for w in req["sender_windows"]}
        self.assertIn(SMALL, shown, "the drive window exists when help is asked for")
        self.assertTrue(shown[SMALL]["visible"], "the drive window shows before help is asked for")
        self.assertFalse(shown.get(OPTIONS, {}).get("visible", False),
                         "the Options window showed before the help request")
        self.assertIsNone(req["watched"][s.app_win + "\\kv99.cfg"],
                          "the settings file was written before the help request")

        # The tray icon comes only after the set-up steps (start-up adds it later).
        self.assertEqual(s.tray(), [], "a tray icon was added while the set-up steps wait")
        self.assertTrue(prog.running)


if __name__ == "__main__":
    kvwine.main()
