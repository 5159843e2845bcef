"""The about window, opened from the tray menu with the mouse: its text, closing it with a
click, and the address label that starts the web browser.

The browser is kvrecorder.exe, registered in the test's Wine prefix as the program that
opens .htm files (HKCR\\.htm -> htmlfile, htmlfile\\shell\\open\\command), so that
FindExecutableA finds it; it writes every command line it gets to kvrecorder.log beside
itself. A fresh prefix has no program for .htm at all, which is the case of the message
"Error: No web browser found.".
"""

import json
import os
import shutil
from pathlib import Path

import kvwine
from kvwine import ABOUT, SMALL, TWIPS_PER_PIXEL, KvTestCase, wait_until, write_cfg

ABOUT_TEXT = ("Kestrovan '99, Version: 1.4\r\n\r\n"
              "Made by Kestrovan Software.\r\n\r\n"
              "Kestrovan '99 is a simple utility to tell you how much space is remaining on up to 6 drives.\r\n\r\n"
              "Press F1 for help on any window.")
ADDRESS = "http://kestrovan.example/"
CLIENT_TWIPS = (4680, 3135)
# Client twips of the about window's controls: (left, top, class).
PICTURE = (135, 90, "Static")
TEXT_BOX = (210, 975, "Edit")
ADDRESS_LABEL = (1560, 2565, "Static")
CLOSING_HINT = (705, 2850, "Static")

RECORDER_WIN = r"C:\KvRecorder\kvrecorder.exe"
HTML_HANDLER_REG = r"""REGEDIT4

[HKEY_CLASSES_ROOT\.htm]
@="htmlfile"

[HKEY_CLASSES_ROOT\htmlfile\shell\open\command]
@="\"C:\\KvRecorder\\kvrecorder.exe\" \"%1\""

"""
# A page of the user's own in the program's working folder, under the name the lookup
# would have used if it worked in place.
USERS_PAGE = b"<html><body>my own notes</body></html>\r\n"
OLD_MTIME_NS = 1_000_000_000 * 10**9
SS_ICON = 0x3
STM_GETICON = 0x171


def px(twips):
    return round(twips / TWIPS_PER_PIXEL)


def center(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


class AboutWindow(KvTestCase):
    # -- helpers

    def start(self, s):
        write_cfg(s, ["c:\\"], left=1500, top=1200)
        prog = s.start_exe()
        wait_until(lambda: s.tray_texts() or not prog.running, 60, 0.2, "the tray icon")
        self.assertTrue(prog.running, f"the program ended:\n{prog.output()}")
        sml = wait_until(lambda: s.visible(SMALL), 30, 0.2, "the drive window")
        self.assertTrue(s.idle(sml["pid"]))
        sml = s.window(SMALL)
        self.assertTrue(sml["topmost"], "the drive window is not on top after start-up")
        return prog, sml

    def open_about_from_tray(self, s, pid):
        icons = s.tray()
        self.assertEqual(len(icons), 1, icons)
        s.click(*center(icons[0]["screen_rect"]), "right")
        menus = wait_until(lambda: [m for m in s.menu() if m["pid"] == pid], 10, 0.2, "the tray menu")
        items = [i for i in menus[0]["items"] if i["text"] == "&About"]
        self.assertEqual(len(items), 1, menus[0]["items"])
        s.click(*center(items[0]["rect"]))
        about = wait_until(lambda: s.visible(ABOUT), 10, 0.2, "the about window")
        self.assertTrue(s.idle(pid))
        return s.window(ABOUT)

    def control(self, window, where):
        left, top, cls = where
        c = window["client"]
        at = [c[0] + px(left), c[1] + px(top)]
        found = [k for k in window["children"] if k["class"] == cls and k["rect"][:2] == at]
        self.assertEqual(len(found), 1, f"{cls} at {at}: {window['children']}")
        return found[0]

    def message_boxes(self, s, pid):
        return [w for w in s.windows("#32770", pid=pid) if w["visible"]]

    def htm_files(self, s):
        """Every .htm/.html file of the prefix's C: drive outside the Windows folder (plus its
        Temp folder), as host paths."""
        root = s.prefix / "drive_c"
        found = set()
        for top in [p for p in root.iterdir() if p.name.lower() != "windows"] + [root / "windows" / "temp"]:
            if top.is_file():
                continue
            for dirpath, _, files in os.walk(top):
                found.update(Path(dirpath) / f for f in files if f.lower().endswith((".htm", ".html")))
        return found

    def put_users_page(self, s):
        page = s.app_dir / "temp.HTM"
        page.write_bytes(USERS_PAGE)
        os.utime(page, ns=(OLD_MTIME_NS, OLD_MTIME_NS))
        return page

    def assertUsersPageUntouched(self, page):
        self.assertTrue(page.is_file(), "the user's temp.HTM in the working folder is gone")
        self.assertEqual(page.read_bytes(), USERS_PAGE, "the user's temp.HTM was overwritten")
        self.assertEqual(page.stat().st_mtime_ns, OLD_MTIME_NS, "the user's temp.HTM was written")

    def wait_no_temporary_pages(self, s, page):
        wait_until(lambda: self.htm_files(s) == {page}, 10, 0.2,
                   "no .htm file besides the user's temp.HTM")

    # -- tests

    def test_opened_from_the_tray_menu_it_shows_the_text_and_any_click_but_the_address_closes_it(self):
        s = self.session()
        prog, sml = self.start(s)
        for target in ("closing hint", "text box", "banner", "background"):
            with self.subTest(click=target):
                about = self.open_about_from_tray(s, sml["pid"])
                self.assertEqual(about["text"], "About")
                c = about["client"]
                self.assertEqual((c[2] - c[0], c[3] - c[1]), (px(CLIENT_TWIPS[0]), px(CLIENT_TWIPS[1])))
                self.assertEqual(about["owner"], 0, "opened from the tray menu it has no owner")
                self.assertTrue(about["enabled"])
                self.assertFalse(s.window(SMALL)["topmost"], "the drive window stays on top of the about window")

                text = self.control(about, TEXT_BOX)
                self.assertEqual(text["text"].encode("utf-8"), ABOUT_TEXT.encode("ascii"))
                self.assertEqual(self.control(about, ADDRESS_LABEL)["text"], "kestrovan.example")
                self.assertEqual(self.control(about, CLOSING_HINT)["text"],
                                 "Click anywhere in this window to close.")

                if target == "closing hint":
                    point = center(self.control(about, CLOSING_HINT)["rect"])
                elif target == "text box":
                    point = center(text["rect"])
                elif target == "banner":
                    point = center(self.control(about, PICTURE)["rect"])
                else:  # the bare window, below the closing hint's left end
                    point = (c[0] + 5, c[3] - 4)
                s.click(*point)
                wait_until(lambda: s.window(ABOUT) is None, 10, 0.2, f"the about window to close ({target})")
                self.assertTrue(s.idle(sml["pid"]))
                now = s.window(SMALL)
                self.assertTrue(now["visible"], "closing the about window hid the drive window")
                self.assertTrue(now["topmost"], "the drive window is not on top again after the about window")
                self.assertEqual(self.message_boxes(s, sml["pid"]), [])
        self.assertEqual(s.help_requests(), [])
        self.assertTrue(prog.running)

    def test_the_address_label_starts_the_html_program_with_the_address(self):
        s = self.session()
        recorder = s.unix_path(RECORDER_WIN)
        recorder.parent.mkdir(parents=True)
        shutil.copy2(s.probe_exe.with_name("kvrecorder.exe"), recorder)
        record = recorder.with_name("kvrecorder.log")
        reg = s.dir / "html-handler.reg"
        reg.write_text(HTML_HANDLER_REG.replace("\n", "\r\n"), encoding="ascii")
        rc, out, err = kvwine.run_to_files(["wine", "reg", "import", str(reg)], s.env, 120)
        self.assertEqual(rc, 0, f"reg import: {err.decode(errors='replace')}")
        page = self.put_users_page(s)

        prog, sml = self.start(s)
        about = self.open_about_from_tray(s, sml["pid"])
        self.assertEqual(self.htm_files(s), {page})
        s.click(*center(self.control(about, ADDRESS_LABEL)["rect"]))

        lines = wait_until(lambda: record.is_file() and record.read_text(encoding="utf-8").splitlines(),
                           30, 0.2, "the HTML program's record")
        self.wait_no_temporary_pages(s, page)
        self.assertTrue(s.idle(sml["pid"]))
        lines = record.read_text(encoding="utf-8").splitlines()
        self.assertEqual(len(lines), 1, f"the HTML program was started {len(lines)} times: {lines}")
        got = json.loads(lines[0])
        self.assertEqual(got["args"], [ADDRESS], f"command line {got['cmdline']!r}")
        self.assertTrue(got["cmdline"].lower().startswith(f'"{RECORDER_WIN.lower()}"')
                        or got["cmdline"].lower().startswith(RECORDER_WIN.lower()),
                        f"not started as the program that the lookup found: {got['cmdline']!r}")

        self.assertUsersPageUntouched(page)
        self.assertEqual(self.message_boxes(s, sml["pid"]), [], "a message box came up")
        still = s.window(ABOUT)
        self.assertTrue(still and still["visible"], "a click on the address closed the about window")
        self.assertTrue(prog.running)

    def test_without_an_html_program_the_user_is_told_no_web_browser_was_found(self):
        s = self.session()
        for hive in ("system.reg", "user.reg"):
            self.assertNotIn("[Software\\\\Classes\\\\.htm]", (s.prefix / hive).read_text(errors="replace"),
                             f"the fresh prefix has a program for .htm ({hive})")
        page = self.put_users_page(s)
        prog, sml = self.start(s)
        about = self.open_about_from_tray(s, sml["pid"])
        s.click(*center(self.control(about, ADDRESS_LABEL)["rect"]))

        boxes = wait_until(lambda: self.message_boxes(s, sml["pid"]), 10, 0.2, "a message box")
        self.assertEqual(len(boxes), 1, boxes)
        box = boxes[0]
        self.assertEqual(box["text"], "Kestrovan '99")
        shown = [k for k in box["children"] if k["visible"]]
        texts = [k["text"] for k in shown if k["class"] == "Static" and k["text"]]
        self.assertEqual(texts, ["Error: No web browser found."])
        buttons = [k for k in shown if k["class"] == "Button"]
        self.assertEqual([b["text"] for b in buttons], ["OK"])
        # Wine's message box keeps its icon control in any case; without an icon it holds none.
        icons = [k for k in shown if k["class"] == "Static" and (k["style"] & 0x1F) == SS_ICON]
        self.assertEqual([s.send(k["hwnd"], STM_GETICON, 0, 0)["result"] for k in icons], [0] * len(icons),
                         "the message box shows an icon")
        self.assertFalse(s.window(ABOUT)["enabled"], "the message box is not modal to the about window")

        s.click(*center(buttons[0]["rect"]))
        wait_until(lambda: not self.message_boxes(s, sml["pid"]), 10, 0.2, "the message box to close")
        self.wait_no_temporary_pages(s, page)
        self.assertTrue(s.idle(sml["pid"]))
        self.assertEqual(self.message_boxes(s, sml["pid"]), [], "a second message box came up")
        self.assertUsersPageUntouched(page)
        still = s.window(ABOUT)
        self.assertTrue(still and still["visible"] and still["enabled"], "the about window did not stay open")
        self.assertTrue(prog.running)


if __name__ == "__main__":
    kvwine.main()
