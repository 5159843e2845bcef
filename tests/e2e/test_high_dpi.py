"""At 96, 144 and 192 DPI (LogPixels), with Wine's own fonts and no scalable sibling of MS Sans Serif: the drive
window's text (in the bitmap face at 96 DPI, in the system's scalable face above) and the About banner grow by
the DPI's ratio; a 2 TB figure (blocking_fs.py, mapped as y:) is whole. Windows made
at 96 DPI and moved onto a 144-DPI monitor look as if made there, and moved back hold no more GDI objects."""
from harness import *
from blocking_fs import BlockingFs

FIGURE = "y: 1907348.63 MB"  # 2e12 bytes free


def size(box):
    return box[2] - box[0], box[3] - box[1]


def painted(s, rect, ready, what):
    """A picture of the screen once the ink box inside rect is ready(box) and the same in two pictures in a
    row (a window laid out anew may show its old paint for a moment), and that box."""
    boxes = [None]
    picture = wait_until(lambda: (p := Picture(s)) and boxes.append(p.ink(rect)) is None and boxes[-1] == boxes[-2]
                         and ready(boxes[-1]) and p, what)
    return picture, boxes[-1]


def drawn(s):
    """The drive window once it and its lines have no part left to paint: a picture then shows them as drawn."""
    w = s.shown(SMALL)
    return w and not w["unpainted"] and not any(c["unpainted"] for c in w["children"]) and w


def figure_ink(s, figure):
    """The line showing the figure, a picture and its ink. From the moment the line holds the figure, every
    picture of the window drawn shows it whole: its ink fills most of the line and ends before the line's right
    edge, the same in each, and the line is as wide as when it got the figure (it widens before it gets it).
    Three pictures, the first as soon as the window is drawn, each followed by a reading of the line."""
    lines = lambda w: [c["rect"] for c in (w or {"children": []})["children"] if re.fullmatch(figure, c["text"])]
    at, boxes = wait_until(lambda: lines(s.shown(SMALL)), "the figure in its line", 60)[0], []
    while len(boxes) < 3:
        wait_until(lambda: drawn(s), "the drive window drawn")
        picture = Picture(s)
        now = lines(s.shown(SMALL))
        boxes.append(picture.ink(at))
        whole = boxes[-1] and at[2] - size(at)[0] // 5 < boxes[-1][2] < at[2] and boxes[-1] == boxes[0]
        assert whole and now == [at], f"the figure cut in its line {at}: ink {boxes}, the line now {now}"
    return at, picture, boxes[-1]


def banner_ink(s):
    """A picture and the About banner's ink once painted: the picture control's grey all around it."""
    at = next(c["rect"] for c in s.shown(ABOUT)["children"] if c["class"] == "Static" and not c["text"])
    return painted(s, at, lambda box: box and all(box[i] > at[i] and box[i + 2] < at[i + 2] for i in (0, 1)), "the banner")


class HighDpi(unittest.TestCase):
    def test_text_and_banner_grow_with_the_dpi_and_a_2_tb_figure_is_whole(self):
        drive = BlockingFs(WORK / f"big-{Session.build.name}", free=2 * 10**12, hold=False)
        if why := drive.mount():
            print("the drive window shows c: instead of the 2 TB drive:", why)
        figure, text, banner = r"c: \d+\.\d\d MB" if why else re.escape(FIGURE), {}, {}
        try:
            for dpi in (96, 144, 192):
                with Session(self, dpi=dpi) as s:
                    s.map_drive("y", drive.folder)
                    s.cfg.write_bytes(cfg_bytes(["c:\\" if why else "y:\\"], 1500, 1200))
                    s.start_exe()
                    line, picture, text[dpi] = figure_ink(s, figure)
                    dpi == 144 and picture.save("drive-window-144dpi", s.shown(SMALL)["rect"])
                    s.tray_menu("A")
                    picture, banner[dpi] = banner_ink(wait_until(lambda: s.shown(ABOUT) and s, "the about window"))
                    dpi == 144 and picture.save("about-144dpi", s.shown(ABOUT)["rect"])
                    if dpi == 96:
                        gdi = lambda: s.send(s.window(TBAR)["hwnd"], "Kestrovan99.GdiObjects")["result"]
                        before, move = gdi(), lambda to: [s.ask("dpi", s.window(w)["hwnd"], to)["ok"] for w in (SMALL, ABOUT)]
                        self.assertEqual(move(144), [1, 1])
                        text["moved"], banner["moved"] = figure_ink(s, figure)[2], banner_ink(s)[1]
                        move(96)
                        self.assertEqual(gdi(), before, "a change of DPI leaks GDI objects")
                print(f"{dpi} DPI: figure ink {size(text[dpi])}, banner {size(banner[dpi])}")
        finally:
            drive.unmount()
        # By the ratio of the DPIs, give or take what the face's hinting at each size makes of it (the bitmap
        # face drew the same pixels at every DPI); moved to 144 DPI as made there.
        for measured in (text, banner):
            self.assertEqual(size(measured["moved"]), size(measured[144]), "made at 96 DPI, moved to 144")
            for dpi in (144, 192):
                for now, then in zip(size(measured[dpi]), size(measured[96])):
                    expected = then * dpi / 96
                    self.assertAlmostEqual(now, expected, delta=3 + expected / 30, msg=f"{measured[dpi]} at {dpi} DPI")


if __name__ == "__main__":
    main()
