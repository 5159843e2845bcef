"""The drive window and About at 96, 144 and 192 DPI (the prefix's LogPixels), where the system has a
scalable sibling of MS Sans Serif: the text and the banner grow by the DPI's ratio, and a drive with 2 TB
free (blocking_fs.py answering at once, mapped as y:) has its figure whole in its line."""
from harness import *
from blocking_fs import BlockingFs

# Wine has no Microsoft Sans Serif: Tahoma, of a close design and a little wider, stands in for it.
SIBLING = r'''
[Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes] 1796611640
"Microsoft Sans Serif"="Tahoma"
'''
FIGURE = "y: 1907348.63 MB"  # 2e12 bytes free


def size(box):
    return box[2] - box[0], box[3] - box[1]


class HighDpi(unittest.TestCase):
    def test_text_and_banner_grow_with_the_dpi_and_a_2_tb_figure_is_whole(self):
        drive = BlockingFs(WORK / f"big-{Session.build.name}", free=2 * 10**12, hold=False)
        if why := drive.mount():
            print("the drive window shows c: instead of the 2 TB drive:", why)
        figure = r"c: \d+\.\d\d MB" if why else re.escape(FIGURE)
        text, banner = {}, {}
        try:
            for dpi in (96, 144, 192):
                with Session(self, registry=SIBLING, dpi=dpi) as s:
                    s.map_drive("y", drive.folder)
                    s.cfg.write_bytes(cfg_bytes(["c:\\" if why else "y:\\"], 1500, 1200))
                    s.start_exe()
                    line = wait_until(lambda: [c["rect"] for c in (s.shown(SMALL) or {"children": []})["children"]
                                               if re.fullmatch(figure, c["text"])], "the figure", 60)[0]
                    # Painted: the line is as wide as its text needs, so the text's ink fills most of it.
                    painted = lambda box: box and box[2] > line[2] - size(line)[0] // 5 and box
                    picture = wait_until(lambda: painted((p := Picture(s)).ink(line)) and p, "the figure painted")
                    text[dpi] = picture.ink(line)
                    self.assertLess(text[dpi][2], line[2], f"the figure is cut at {dpi} DPI")
                    dpi == 144 and picture.save("drive-window-144dpi", s.shown(SMALL)["rect"])

                    s.tray_menu("A")
                    about = wait_until(lambda: s.shown(ABOUT), "the about window")
                    place = next(c["rect"] for c in about["children"] if c["class"] == "Static" and not c["text"])
                    # Painted: the picture control's grey shows all around the banner.
                    inside = lambda box: box and all(box[i] > place[i] and box[i + 2] < place[i + 2] for i in (0, 1))
                    picture = wait_until(lambda: inside((p := Picture(s)).ink(place)) and p, "the banner painted")
                    banner[dpi] = picture.ink(place)
                    dpi == 144 and picture.save("about-144dpi", about["rect"])
                print(f"{dpi} DPI: figure ink {size(text[dpi])}, banner {size(banner[dpi])}")
        finally:
            drive.unmount()
        # By the ratio of the DPIs, give or take what the face's hinting at each size makes of it (the bitmap
        # face drew the same pixels at every DPI).
        for dpi in (144, 192):
            for measured in (text, banner):
                for now, then in zip(size(measured[dpi]), size(measured[96])):
                    expected = then * dpi / 96
                    self.assertAlmostEqual(now, expected, delta=3 + expected / 30, msg=f"{measured[dpi]} at {dpi} DPI")


if __name__ == "__main__":
    main()
