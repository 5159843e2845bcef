"""Pictures of the drive window, the open tray menu, the Options window and the about window,
taken from the screen and checked for the colours the program paints.

Each picture is cropped around its window (the tray menu together with the tray icon) and
kept in the session's folder. With KV_E2E_SCREENSHOTS=<folder> set, the four PNG files are
also written there (drive-window.png, tray-menu.png, options.png, about.png), which is how
docs/screenshots is made:

    KV_E2E_SCREENSHOTS=docs/screenshots python3 tests/e2e/test_screenshots.py

The screen is read as a binary PPM by ImageMagick's import; cropping, the colour checks and
the PNG encoding are done here with the standard library.
"""

import collections
import os
import struct
import subprocess
import zlib
from pathlib import Path

import kvwine
from kvwine import ABOUT, OPTIONS, SMALL, TWIPS_PER_PIXEL, KvTestCase, wait_until, write_cfg

BLACK = (0, 0, 0)
LINE_GREY = (224, 224, 224)  # drive window lines and the about window's closing hint
TEXT_BOX_BACK = (64, 64, 64)
TEXT_BOX_TEXT = (192, 192, 192)
ADDRESS_BLUE = (98, 67, 243)
MARGIN = 12  # pixels of desktop kept around a window


def px(twips):
    return round(twips / TWIPS_PER_PIXEL)


def center(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


class Screen:
    """One screenshot: width, height and 8-bit RGB rows."""

    def __init__(self, path):
        data = Path(path).read_bytes()
        fields, at = [], 0
        while len(fields) < 4:  # magic, width, height, maximum; comments start with "#"
            while data[at:at + 1].isspace():
                at += 1
            if data[at:at + 1] == b"#":
                at = data.index(b"\n", at)
                continue
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[at:end])
            at = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise kvwine.WineError(f"{path} is not an 8-bit binary PPM: {fields}")
        self.width, self.height = int(fields[1]), int(fields[2])
        self.rgb = data[at + 1:at + 1 + 3 * self.width * self.height]

    def clip(self, rect):
        left, top, right, bottom = rect
        return max(0, left), max(0, top), min(self.width, right), min(self.height, bottom)

    def colours(self, rect):
        left, top, right, bottom = self.clip(rect)
        counts = collections.Counter()
        for y in range(top, bottom):
            row = self.rgb[3 * (y * self.width + left):3 * (y * self.width + right)]
            counts.update(zip(row[0::3], row[1::3], row[2::3]))
        return counts

    def save_png(self, path, rect):
        left, top, right, bottom = self.clip(rect)
        raw = b"".join(b"\0" + self.rgb[3 * (y * self.width + left):3 * (y * self.width + right)]
                       for y in range(top, bottom))

        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

        header = struct.pack(">IIBBBBB", right - left, bottom - top, 8, 2, 0, 0, 0)
        Path(path).write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                               chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def around(*rects, margin=MARGIN):
    return (min(r[0] for r in rects) - margin, min(r[1] for r in rects) - margin,
            max(r[2] for r in rects) + margin, max(r[3] for r in rects) + margin)


def inset(rect, n):
    return rect[0] + n, rect[1] + n, rect[2] - n, rect[3] - n


class Screenshots(KvTestCase):
    def shoot(self, s, name, *rects):
        """Takes the screen, keeps the crop around rects as <name>.png; returns the Screen."""
        ppm = s.dir / f"{name}.ppm"
        subprocess.run(["import", "-display", s.xvfb.display, "-window", "root", "-depth", "8", str(ppm)],
                       check=True, timeout=60, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.PIPE)
        screen = Screen(ppm)
        area = around(*rects)
        screen.save_png(s.dir / f"{name}.png", area)
        folder = os.environ.get("KV_E2E_SCREENSHOTS")
        if folder:
            target = Path(folder)
            if not target.is_absolute():
                target = kvwine.REPO / target
            target.mkdir(parents=True, exist_ok=True)
            screen.save_png(target / f"{name}.png", area)
        return screen

    def tray_menu(self, s, pid):
        icons = s.tray()
        self.assertEqual(len(icons), 1, icons)
        s.click(*center(icons[0]["screen_rect"]), "right")
        menus = wait_until(lambda: [m for m in s.menu() if m["pid"] == pid], 10, 0.2, "the tray menu")
        self.assertEqual(len(menus), 1, menus)
        return icons[0], menus[0]

    def choose(self, s, pid, text):
        _, menu = self.tray_menu(s, pid)
        items = [i for i in menu["items"] if i["text"] == text]
        self.assertEqual(len(items), 1, menu["items"])
        s.click(*center(items[0]["rect"]))
        wait_until(lambda: not s.menu(), 10, 0.2, "the tray menu to close")

    def control(self, window, left, top, cls):
        c = window["client"]
        at = [c[0] + px(left), c[1] + px(top)]
        found = [k for k in window["children"] if k["class"] == cls and k["rect"][:2] == at]
        self.assertEqual(len(found), 1, f"{cls} at {at}: {window['children']}")
        return found[0]

    def assertPainted(self, screen, rect, colours, what):
        """Every pixel of rect has one of the colours, and each colour is there."""
        seen = screen.colours(rect)
        self.assertEqual(set(seen), set(colours), f"{what}: colours {seen.most_common(6)}")

    def assertBanner(self, screen, window, left, top):
        picture = self.control(window, left, top, "Static")
        seen = screen.colours(picture["rect"])
        self.assertGreater(len(seen), 8, f"no banner picture in {window['class']}: {seen.most_common(4)}")

    def test_drive_window_tray_menu_options_and_about_as_the_user_sees_them(self):
        s = self.session()
        write_cfg(s, ["c:\\", "z:\\"], left=1500, top=1200)
        prog = s.start_exe()
        wait_until(lambda: s.tray_texts() or not prog.running, 60, 0.2, "the tray icon")
        self.assertTrue(prog.running, f"the program ended:\n{prog.output()}")
        sml = wait_until(lambda: s.visible(SMALL), 30, 0.2, "the drive window")
        pid = sml["pid"]
        s.move(700, 600)  # the pointer rests on the bare desktop
        self.assertTrue(s.idle(pid))

        # The drive window: black, the two lines light grey on black, the empty lines black.
        sml = s.window(SMALL)
        screen = self.shoot(s, "drive-window", sml["rect"])
        lines = sorted(sml["children"], key=lambda k: (k["rect"][1], k["rect"][0]))
        self.assertEqual([k["text"][:2] for k in lines], ["c:", "z:", "", "", "", ""])
        for line in lines[:2]:
            self.assertPainted(screen, line["rect"], {BLACK, LINE_GREY}, f"line {line['text']!r}")
        for line in lines[2:]:
            self.assertPainted(screen, line["rect"], {BLACK}, "an empty line")
        self.assertPainted(screen, (sml["client"][0], sml["client"][1], sml["client"][2], lines[0]["rect"][1]),
                           {BLACK}, "the drive window above its lines")

        # The tray menu, open above the tray icon.
        icon, menu = self.tray_menu(s, pid)
        self.assertTrue(s.idle(pid))
        self.shoot(s, "tray-menu", menu["rect"], icon["screen_rect"])
        self.assertTrue([m for m in s.menu() if m["pid"] == pid], "the tray menu closed before the picture")
        s.key(0x1B)  # Escape
        wait_until(lambda: not s.menu(), 10, 0.2, "the tray menu to close")

        # The Options window, opened from the tray menu: its banner is there.
        self.choose(s, pid, "&Options")
        wait_until(lambda: s.visible(OPTIONS), 10, 0.2, "the Options window")
        s.move(700, 650)
        self.assertTrue(s.idle(pid))
        opts = s.window(OPTIONS)
        screen = self.shoot(s, "options", opts["rect"])
        self.assertBanner(screen, opts, 135, 105)
        cancel = [k for k in opts["children"] if k["text"] == "Cancel"]
        self.assertEqual(len(cancel), 1, opts["children"])
        s.click(*center(cancel[0]["rect"]))
        wait_until(lambda: not s.visible(OPTIONS), 10, 0.2, "the Options window to close")

        # The about window: black, the text box grey on dark grey, the address in its blue,
        # the closing hint light grey.
        self.choose(s, pid, "&About")
        wait_until(lambda: s.visible(ABOUT), 10, 0.2, "the about window")
        s.move(700, 650)
        self.assertTrue(s.idle(pid))
        about = s.window(ABOUT)
        screen = self.shoot(s, "about", about["rect"])
        self.assertBanner(screen, about, 135, 90)
        c = about["client"]
        self.assertPainted(screen, (c[0], c[3] - 3, c[2], c[3]), {BLACK}, "the about window's bottom edge")
        # The text area of the box: inside its border, left of where a scroll bar would be.
        box = inset(self.control(about, 210, 975, "Edit")["rect"], 2)
        text_area = (box[0], box[1], box[0] + (box[2] - box[0]) * 3 // 4, box[3])
        self.assertPainted(screen, text_area, {TEXT_BOX_BACK, TEXT_BOX_TEXT}, "the text box")
        self.assertPainted(screen, self.control(about, 1560, 2565, "Static")["rect"], {BLACK, ADDRESS_BLUE},
                           "the address")
        self.assertPainted(screen, self.control(about, 705, 2850, "Static")["rect"], {BLACK, LINE_GREY},
                           "the closing hint")
        self.assertTrue(prog.running)


if __name__ == "__main__":
    kvwine.main()
