"""The drive window's six lines and the tray tooltip, read from outside and set beside
the free space that kvprobe reads from the same drives with GetDiskFreeSpaceA.

The prefix's c: and z: are folders of a live disk whose free space moves while the
test runs (other builds write to it). So the program's figures are checked against
the smallest and largest figure the probe saw in the period in which the program
could have measured; when the disk stood still that period holds one figure and the
texts must match it to the last digit.
"""

import re
from decimal import ROUND_HALF_UP, Decimal

import kvwine
from kvwine import SMALL, TWIPS_PER_PIXEL, KvTestCase, wait_until, write_cfg

# Slot order of the lines: slot k sits at SLOT_TWIPS[k-1] in the client area.
SLOT_TWIPS = [(90, 75), (2445, 75), (90, 405), (2445, 405), (90, 735), (2445, 735)]
LINE_TWIPS = (1740, 300)
CLIENT_TWIPS = (4605, 1095)
FRAME_TWIPS = 45
WM_MOUSEMOVE = 0x200  # also the tray icon's callback message, with a move in lParam


def px(twips):
    return round(twips / TWIPS_PER_PIXEL)


def fixed(value, places):
    """value rounded half away from zero to the given decimals, as text (exact)."""
    q = Decimal(1).scaleb(-places)
    text = str(Decimal(value).quantize(q, rounding=ROUND_HALF_UP))
    return text


class FreeSpaceWatch:
    """Samples the probe's free-space figures of some roots over a period."""

    def __init__(self, session, roots):
        self.s = session
        self.samples = {r: [] for r in roots}

    def sample(self):
        for root in self.samples:
            self.samples[root].append(self.s.freespace(root)["mb"])

    def span(self, root):
        return min(self.samples[root]), max(self.samples[root])


class DriveWindow(KvTestCase):
    def check_figure(self, text_value, places, low, high):
        """A figure shown with `places` decimals fits the megabytes seen in [low, high]."""
        shown = Decimal(text_value)
        half = Decimal(5).scaleb(-places - 1)
        if low == high:
            return text_value == fixed(low, places)
        return Decimal(low) - half <= shown <= Decimal(high) + half

    def test_two_drives_lines_positions_and_tooltip(self):
        s = self.session()
        info = s.screen_info()
        self.assertEqual(info["dpi"], 96, "the prefix is expected at 96 dots per inch")
        write_cfg(s, ["c:\\", "z:\\"], left=1500, top=1200)
        watch = FreeSpaceWatch(s, ["c:\\", "z:\\"])
        watch.sample()
        prog = s.start_exe()
        tips = wait_until(lambda: s.tray_texts() or not prog.running, 60, 0.2, "the tray icon")
        watch.sample()
        self.assertTrue(prog.running, f"the program ended:\n{prog.output()}")
        sml = wait_until(lambda: s.visible(SMALL), 30, 0.2, "the drive window")

        # Tooltip: the short texts of slots 1 and 2 in slot order, one blank between.
        self.assertEqual(len(tips), 1, f"tray tips: {tips}")
        tip_form = r"c:(\d+)MB z:(\d+)MB"
        self.assertRegex(tips[0], f"^{tip_form}$")

        # Its figures, against the free space around one refresh that we cause ourselves: a
        # tray callback (a mouse move over the icon) runs traysync inside the SendMessage, and
        # the shell takes the new tip before Shell_NotifyIcon returns. So the program measured
        # between the two samples; when the disk moved in between, the next try gets a calmer
        # moment.
        tbar = s.window(kvwine.TBAR)
        self.assertIsNotNone(tbar, "no tray window")
        last = {}

        def tip_fits():
            around = FreeSpaceWatch(s, ["c:\\", "z:\\"])
            around.sample()
            self.assertTrue(s.send(tbar["hwnd"], WM_MOUSEMOVE, 0, WM_MOUSEMOVE)["ok"],
                            "the tray window did not take the callback")
            texts = s.tray_texts()
            around.sample()
            self.assertEqual(len(texts), 1, f"tray tips: {texts}")
            m = re.fullmatch(tip_form, texts[0])
            self.assertIsNotNone(m, f"tooltip {texts[0]!r} is not like 'c:1235MB z:12MB'")
            last.update(tip=texts[0], c=around.span("c:\\"), z=around.span("z:\\"))
            return all(self.check_figure(value, 0, *around.span(root))
                       for value, root in zip(m.groups(), ("c:\\", "z:\\")))

        try:
            wait_until(tip_fits, 15, 0.3, "a tooltip that matches the probe's free space")
        except TimeoutError:
            self.fail(f"tooltip {last['tip']!r} does not fit the free space the probe saw around "
                      f"the last refresh: c: {last['c']}, z: {last['z']}")

        # The window: no caption, placed at the stored position, client area of the
        # stated size, topmost once start-up is over.
        self.assertTrue(s.idle(sml["pid"]))
        sml = s.window(SMALL)
        self.assertEqual(sml["text"], "")
        self.assertNotEqual(sml["style"] & 0x00C00000, 0x00C00000, "the drive window has a caption bar")
        self.assertEqual(sml["rect"][:2], [px(1500), px(1200)], "not placed at the stored position")
        client = sml["client"]
        self.assertEqual((client[2] - client[0], client[3] - client[1]),
                         (px(CLIENT_TWIPS[0]), px(CLIENT_TWIPS[1])), "client area size")
        self.assertEqual((client[0] - sml["rect"][0], client[1] - sml["rect"][1]),
                         (px(FRAME_TWIPS), px(FRAME_TWIPS)), "frame width")
        self.assertTrue(sml["topmost"], "the drive window is not topmost after start-up")
        self.assertNotIn(sml["hwnd"], s.taskbar_buttons(), "the drive window has a taskbar button")

        # The six lines at their places; slots 1 and 2 show the long texts, 3 to 6 are blank.
        def lines(window):
            c = window["client"]
            at = {}
            for child in window["children"]:
                r = child["rect"]
                at.setdefault((r[0] - c[0], r[1] - c[1]), []).append(child)
            found = []
            for k, (left, top) in enumerate(SLOT_TWIPS, start=1):
                here = at.get((px(left), px(top)), [])
                self.assertEqual(len(here), 1, f"slot {k}: {len(here)} lines at "
                                 f"({px(left)}, {px(top)}); children: {window['children']}")
                line = here[0]
                r = line["rect"]
                self.assertEqual((r[2] - r[0], r[3] - r[1]), (px(LINE_TWIPS[0]), px(LINE_TWIPS[1])),
                                 f"slot {k} line size")
                self.assertTrue(line["visible"], f"slot {k} line hidden")
                found.append(line["text"])
            return found

        def figures_fit():
            watch.sample()
            texts = lines(s.window(SMALL))
            watch.sample()
            self.assertEqual(texts[2:], ["", "", "", ""], "slots 3 to 6 are empty")
            for k, root in ((1, "c:\\"), (2, "z:\\")):
                m = re.fullmatch(r"(.:) (-?\d+\.\d\d) MB", texts[k - 1])
                self.assertIsNotNone(m, f"slot {k} shows {texts[k - 1]!r}, not like 'c: 1234.56 MB'")
                self.assertEqual(m.group(1), root[:2], f"slot {k} shows another drive")
                low, high = watch.span(root)
                if not self.check_figure(m.group(2), 2, low, high):
                    return None
            return texts

        try:
            # A line may be up to one refresh (2 s) old; a few tries span a refresh.
            wait_until(figures_fit, 12, 0.5, "drive lines that match the probe's free space")
        except TimeoutError:
            texts = lines(s.window(SMALL))
            c_span, z_span = watch.span("c:\\"), watch.span("z:\\")
            self.fail(f"lines {texts[:2]} do not fit the free space the probe saw: "
                      f"c: {c_span}, z: {z_span}")

        # The program's own counters answer on its windows.
        for name in ("Kestrovan99.GdiObjects", "Kestrovan99.PrivateBytes"):
            reply = s.regmsg(name, sml["hwnd"])
            self.assertTrue(reply["ok"], f"{name} not answered")
            self.assertGreater(reply["result"], 0, f"{name} answered {reply['result']}")
        self.assertTrue(prog.running)


if __name__ == "__main__":
    kvwine.main()
