"""A first start in an empty folder, then the user chooses a drive in the Options window with
the mouse: a check box, z: in the drive list, "Accept Drive", "Okay". The settings file is
read back byte for byte and the running program shows the chosen drive."""

import kvwine
from kvwine import OPTIONS, SMALL, TWIPS_PER_PIXEL, KvTestCase, wait_until

FIRST_RUN_FILE = b'""\r\n' * 6 + b"0\r\n0\r\n"
# Slot 3 holds z:\. The drive window is not set up yet while the set-up steps wait for the
# Options window, so the position written is the one read from the first-run file: 0, 0.
CHOSEN_FILE = b'""\r\n""\r\n"z:\\"\r\n""\r\n""\r\n""\r\n0\r\n0\r\n'

# Twips in the client area of the Options window: the frame, and the check boxes in it.
FRAME = (150, 870)
BOX_TWIPS = {1: (870, 600), 2: (2235, 600), 3: (870, 1005), 4: (2235, 1005), 5: (870, 1395), 6: (2235, 1395)}
BOX_SIZE = (1125, 285)
DRIVE_LIST = (270, 1830)
CB_GETITEMHEIGHT = 0x154

# Slot 3's line in the drive window: row 2, left.
SLOT3_LINE = (90, 405)


def px(twips):
    return round(twips / TWIPS_PER_PIXEL)


def center(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


class ChooseDrives(KvTestCase):
    def child_at(self, window, left, top, cls):
        """The one child of this class whose top left corner is at these client twips."""
        c = window["client"]
        at = (c[0] + px(left), c[1] + px(top))
        found = [k for k in window["children"]
                 if k["class"].lower() == cls.lower() and tuple(k["rect"][:2]) == at]
        self.assertEqual(len(found), 1, f"{cls} at {at}: {found}; children: {window['children']}")
        return found[0]

    def box(self, window, n):
        left, top = BOX_TWIPS[n]
        return self.child_at(window, FRAME[0] + left, FRAME[1] + top, "Button")

    def picker(self, window):
        drive_list = self.child_at(window, FRAME[0] + DRIVE_LIST[0], FRAME[1] + DRIVE_LIST[1], "ComboBox")
        accept = [k for k in window["children"] if k["class"] == "Button" and k["text"] == "Accept Drive"]
        self.assertEqual(len(accept), 1, window["children"])
        return drive_list, accept[0]

    def button(self, window, text):
        found = [k for k in window["children"] if k["class"] == "Button" and k["text"] == text]
        self.assertEqual(len(found), 1, f"button {text!r}: {window['children']}")
        return found[0]

    def options(self, s):
        w = s.window(OPTIONS)
        self.assertIsNotNone(w, "the Options window went away")
        return w

    def test_first_run_then_the_user_picks_z_for_slot_3_and_okay_writes_it(self):
        s = self.session()
        self.assertFalse(s.cfg.exists())
        prog = s.start_exe()
        opts = wait_until(lambda: s.visible(OPTIONS) or not prog.running, 60, 0.2,
                          "the Options window of the set-up steps")
        self.assertTrue(prog.running, f"the program ended during set-up:\n{prog.output()}")
        self.assertTrue(s.idle(opts["pid"]))
        self.assertCfgBytes(s, FIRST_RUN_FILE)
        opts = self.options(s)

        # Six empty boxes without captions, no picker.
        for n in range(1, 7):
            b = self.box(opts, n)
            self.assertEqual((b["checked"], b["text"]), (0, ""), f"box {n} on a first run")
            self.assertEqual((b["rect"][2] - b["rect"][0], b["rect"][3] - b["rect"][1]),
                             (px(BOX_SIZE[0]), px(BOX_SIZE[1])), f"box {n} size")
        drive_list, accept = self.picker(opts)
        self.assertFalse(drive_list["visible"] or accept["visible"], "the picker shows before a pick")

        # The user checks box 3: it waits for a drive, still without a caption.
        b3 = self.box(opts, 3)
        s.click(b3["rect"][0] + 7, (b3["rect"][1] + b3["rect"][3]) // 2)
        opts = wait_until(lambda: (w := self.options(s)) and self.picker(w)[0]["visible"] and w,
                          10, 0.2, "the drive picker after checking box 3")
        b3 = self.box(opts, 3)
        self.assertEqual((b3["checked"], b3["text"]), (1, ""), "box 3 waits for a drive without caption")
        for n in (1, 2, 4, 5, 6):
            self.assertEqual(self.box(opts, n)["checked"], 0, f"box {n} changed")
        drive_list, accept = self.picker(opts)
        self.assertTrue(accept["visible"], "\"Accept Drive\" is hidden while box 3 waits")
        items = drive_list["items"]
        self.assertIn("z:", [i[:2] for i in items], f"drive list: {items}")
        for item in items:
            self.assertRegex(item, r"^[a-z]:", "a drive list entry starts with the lower-case letter and colon")

        # The user drops the list down and clicks z:.
        s.click(*center(drive_list["rect"]))
        dropped = wait_until(lambda: [w for w in s.windows("ComboLBox", pid=opts["pid"]) if w["visible"]],
                             10, 0.2, "the drive list dropped down")
        row = s.send(drive_list["hwnd"], CB_GETITEMHEIGHT, 0, 0)["result"]
        self.assertGreater(row, 0)
        z_index = [i[:2] for i in items].index("z:")
        lb = dropped[0]["client"]
        s.click((lb[0] + lb[2]) // 2, lb[1] + z_index * row + row // 2)
        opts = wait_until(lambda: (w := self.options(s)) and self.picker(w)[0]["text"].startswith("z:") and w,
                          10, 0.2, "z: chosen in the drive list")
        wait_until(lambda: not [w for w in s.windows("ComboLBox", pid=opts["pid"]) if w["visible"]],
                   10, 0.2, "the drive list closed")
        self.assertEqual(self.box(opts, 3)["text"], "", "picking in the list alone sets no caption")

        # "Accept Drive": box 3 carries z:\, the picker goes away.
        s.click(*center(self.picker(opts)[1]["rect"]))
        opts = wait_until(lambda: (w := self.options(s)) and self.box(w, 3)["text"] == "z:\\" and w,
                          10, 0.2, "box 3 captioned z:\\")
        drive_list, accept = self.picker(opts)
        self.assertFalse(drive_list["visible"] or accept["visible"], "the picker stays after Accept Drive")
        self.assertEqual(self.box(opts, 3)["checked"], 1)
        self.assertCfgBytes(s, FIRST_RUN_FILE, "Accept Drive alone wrote the file")

        # "Okay": the file holds slot 3, the window goes, the program runs on.
        s.click(*center(self.button(opts, "Okay")["rect"]))
        wait_until(lambda: not s.visible(OPTIONS), 10, 0.2, "the Options window to close")
        self.assertCfgBytes(s, CHOSEN_FILE)
        self.assertTrue(prog.running, f"the program ended after Okay:\n{prog.output()}")

        # Start-up finishes with the new slot: a tray tip for z: alone, the drive window's
        # row 2, left line shows z:, and the drive window is on top.
        tips = wait_until(lambda: s.tray_texts(), 30, 0.2, "the tray icon after the set-up steps")
        self.assertEqual(len(tips), 1, tips)
        self.assertRegex(tips[0], r"^z:\d+MB$")
        sml = s.window(SMALL)
        self.assertTrue(s.idle(sml["pid"]))
        sml = s.window(SMALL)
        self.assertTrue(sml["visible"] and sml["enabled"], "the drive window is not usable")
        self.assertTrue(sml["topmost"], "the drive window is not on top after the set-up steps")
        texts = {}
        for k in sml["children"]:
            texts[(k["rect"][0] - sml["client"][0], k["rect"][1] - sml["client"][1])] = k["text"]
        slot3 = texts.get((px(SLOT3_LINE[0]), px(SLOT3_LINE[1])))
        self.assertIsNotNone(slot3, f"no line at slot 3's place: {texts}")
        self.assertRegex(slot3, r"^z: \d+\.\d\d MB$")
        self.assertEqual(sorted(t for t in texts.values() if t), [slot3], f"lines: {texts}")

        # One help request so far: the set-up topic. The file stays as Okay left it.
        self.assertEqual([r["data"] for r in s.help_requests()], [30000])
        self.assertCfgBytes(s, CHOSEN_FILE)


if __name__ == "__main__":
    kvwine.main()
