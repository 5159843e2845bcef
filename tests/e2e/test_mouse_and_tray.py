"""The user's hand on the drive window and on the tray icon, through real pointer input."""

import kvwine
from kvwine import SMALL, TWIPS_PER_PIXEL, KvTestCase, wait_until, write_cfg

POPUP = ["&Hide", "&Options", "&About", "", "&Help", "&Quit"]
TRAY_COMMANDS = ["", "&Show Kestrovan '99", "&Options", "&About", "", "&Help", "&Quit"]


def cfg_lines(session):
    return session.cfg.read_bytes().split(b"\r\n")


def center(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


class MouseAndTray(KvTestCase):
    def start(self, s, slots=("c:\\",), left=1500, top=1200):
        original = write_cfg(s, slots, left=left, top=top)
        prog = s.start_exe()
        wait_until(lambda: s.tray_texts() or not prog.running, 60, 0.2, "the tray icon")
        self.assertTrue(prog.running, f"the program ended:\n{prog.output()}")
        sml = wait_until(lambda: s.visible(SMALL), 30, 0.2, "the drive window")
        self.assertTrue(s.idle(sml["pid"]))
        return prog, s.window(SMALL), original

    def wait_moved_to(self, s, left, top):
        return wait_until(lambda: (w := s.window(SMALL)) and w["rect"][:2] == [left, top] and w,
                          10, 0.2, f"the drive window at ({left}, {top})")

    def open_menu(self, s, pid):
        menus = wait_until(lambda: [m for m in s.menu() if m["pid"] == pid], 10, 0.2,
                           "a popup menu of the program")
        self.assertEqual(len(menus), 1, menus)
        self.assertIsNone(menus[0]["error"], menus[0])
        return menus[0]

    def test_left_drag_moves_without_saving_and_a_left_click_closes_saving_the_position(self):
        s = self.session()
        prog, sml, original = self.start(s)
        left, top = sml["rect"][:2]
        self.assertEqual((left, top), (100, 80))
        c = sml["client"]
        # Grab a blank line (slot 6), drag in two steps.
        x, y = c[0] + 200, c[1] + 58
        s.press(x, y)
        s.move(x + 20, y + 15)
        s.move(x + 41, y + 33)
        s.release(x + 41, y + 33)
        moved = self.wait_moved_to(s, left + 41, top + 33)
        self.assertTrue(moved["visible"], "a drag must not close the window")
        self.assertTrue(s.idle(sml["pid"]))
        self.assertEqual(s.cfg.read_bytes(), original, "dragging alone writes nothing")

        # A plain left click on a filled line closes the window and saves where it was.
        s.click(moved["client"][0] + 40, moved["client"][1] + 12)
        wait_until(lambda: not s.visible(SMALL), 10, 0.2, "the drive window to close")
        lines = cfg_lines(s)
        self.assertEqual(lines[:6], original.split(b"\r\n")[:6], "the slots changed")
        self.assertEqual(lines[6:8], [str((left + 41) * TWIPS_PER_PIXEL).encode(),
                                      str((top + 33) * TWIPS_PER_PIXEL).encode()],
                         "the file does not hold the closed window's position")
        self.assertTrue(prog.running, "closing the drive window ended the program")
        self.assertEqual(len(s.tray()), 1, "the tray icon went with the drive window")

    def test_right_drag_moves_then_opens_the_popup_menu(self):
        s = self.session()
        prog, sml, original = self.start(s)
        left, top = sml["rect"][:2]
        c = sml["client"]
        x, y = c[0] + 30, c[1] + 12
        s.press(x, y, "right")
        s.move(x + 30, y + 20)
        s.release(x + 30, y + 20, "right")
        self.wait_moved_to(s, left + 30, top + 20)
        menu = self.open_menu(s, sml["pid"])
        self.assertEqual([i["text"] for i in menu["items"]], POPUP)
        self.assertEqual([i["separator"] for i in menu["items"]], [t == "" for t in POPUP])
        self.assertFalse(any(i["default"] for i in menu["items"]), "no entry is the default")
        self.assertEqual(menu["rect"][0], x + 30, "the menu's left edge is at the pointer")
        s.key(0x1B)  # Escape
        wait_until(lambda: not s.menu(), 10, 0.2, "the popup menu to close")
        self.assertTrue(s.visible(SMALL), "Escape on the popup closed the drive window")
        self.assertEqual(s.cfg.read_bytes(), original)
        self.assertTrue(prog.running)

    def test_middle_click_opens_the_popup_menu_and_leaves_the_window_in_place(self):
        s = self.session()
        prog, sml, _ = self.start(s)
        c = sml["client"]
        s.click(c[0] + 250, c[1] + 35, "middle")
        menu = self.open_menu(s, sml["pid"])
        self.assertEqual([i["text"] for i in menu["items"]], POPUP)
        s.key(0x1B)
        wait_until(lambda: not s.menu(), 10, 0.2, "the popup menu to close")
        self.assertEqual(s.window(SMALL)["rect"], sml["rect"])

    def test_right_press_on_the_tray_icon_opens_the_tray_menu_and_quit_ends_the_program(self):
        s = self.session()
        prog, sml, original = self.start(s, slots=("c:\\", "", "z:\\"))
        icons = s.tray()
        self.assertEqual(len(icons), 1, icons)
        s.click(*center(icons[0]["screen_rect"]), "right")
        menu = self.open_menu(s, sml["pid"])
        texts = [i["text"] for i in menu["items"]]
        # Drive entries of slots 1 and 3 (slot 2 is empty and absent), then the commands.
        self.assertEqual(len(texts), 2 + len(TRAY_COMMANDS), texts)
        self.assertRegex(texts[0], r"^c: \d+\.\d\d MB$")
        self.assertRegex(texts[1], r"^z: \d+\.\d\d MB$")
        self.assertEqual(texts[2:], TRAY_COMMANDS)
        self.assertEqual([i["separator"] for i in menu["items"][2:]], [t == "" for t in TRAY_COMMANDS])

        quit_item = menu["items"][-1]
        s.click(*center(quit_item["rect"]))
        prog.wait(20)
        self.assertEqual(s.tray(), [], "the tray icon outlived the program")
        self.assertEqual(s.windows(pid=sml["pid"]), [])
        lines = cfg_lines(s)
        self.assertEqual(lines[:6], original.split(b"\r\n")[:6])
        self.assertEqual(lines[6:8], [b"1500", b"1200"], "quit saves the drive window's position")


if __name__ == "__main__":
    kvwine.main()
