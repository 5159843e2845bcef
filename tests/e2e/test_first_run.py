"""A first run in an empty folder through the real controls, the real help viewer, and Quit from the tray
menu."""
from harness import *


def child(window, text):
    found = [c for c in window["children"] if c["text"] == text]
    assert len(found) == 1, f"{text!r} among {[c['text'] for c in window['children']]}"
    return found[0]


class FirstRun(unittest.TestCase):
    def test_set_up_through_the_controls_then_pointer_tray_and_quit(self):
        with Session(self) as s:
            program = s.start_exe()
            options = wait_until(lambda: s.shown(OPTIONS), "the set-up's Options window", 60)
            viewer = wait_until(lambda: viewer_at(s, 30000), "the help viewer at the start-up topic")
            self.assertEqual(s.cfg.read_bytes(), cfg_bytes([]), "the file of a first run")
            s.ask("post", viewer["hwnd"], WM_CLOSE, 0, 0)

            # Box 3 (row 2, left), z: from the drive list, "Accept Drive", "Okay".
            boxes = sorted((c for c in options["children"] if c["class"] == "Button" and c["text"] == ""),
                           key=lambda c: (c["rect"][1], c["rect"][0]))
            self.assertEqual(len(boxes), 6, options["children"])
            s.click(*center(boxes[2]["rect"]))
            drives = wait_until(lambda: [c for c in s.shown(OPTIONS)["children"] if c["class"] == "ComboBox"
                                         and c["visible"]], "the drive list")[0]
            s.click(*center(drives["rect"]))
            dropped = wait_until(lambda: [w for w in s.windows("ComboLBox") if w["visible"]], "the dropped list")[0]
            s.click(center(dropped["client"])[0], dropped["client"][3] - 4)  # the last drive: z:
            wait_until(lambda: child(s.shown(OPTIONS), "Accept Drive")["visible"], "Accept Drive")
            s.click(*center(child(s.shown(OPTIONS), "Accept Drive")["rect"]))
            wait_until(lambda: [c for c in s.shown(OPTIONS)["children"] if c["text"] == "z:\\"], "box 3 captioned z:\\")
            s.click(*center(child(s.shown(OPTIONS), "Okay")["rect"]))
            wait_until(lambda: not s.shown(OPTIONS), "the Options window to close")
            self.assertEqual(s.cfg.read_bytes(), cfg_bytes(["", "", "z:\\"]))
            tips = wait_until(s.tips, "the tray icon")
            self.assertEqual(len(tips), 1, tips)
            self.assertRegex(tips[0]["text"], r"^z:\d+MB$")
            small = s.shown(SMALL)
            self.assertTrue(small and small["topmost"], "the drive window is not shown on top")

            s.tray_menu("H")
            wait_until(lambda: viewer_at(s, 400), "the help viewer at the tray topic")
            s.tray_menu("Q")
            program.wait(30)
            self.assertEqual(s.cfg.read_bytes(), cfg_bytes(["", "", "z:\\"]))


if __name__ == "__main__":
    main()
