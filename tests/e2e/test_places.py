"""Where the drive window is left, on a desktop 3840 pixels wide: dragged to x = 3000 and clicked, it comes back
there at the next start; the end of the Windows session (wineboot --end-session) after a drag keeps the dragged
place."""
from harness import *

WIDE = "3840x1080"


class Places(unittest.TestCase):
    def start(self, s, left, top):
        """Quits a running program, then starts it on a file holding this place; the drive window shown."""
        if s.running:
            s.tray_menu("Q")
            s.running.wait(30)
        self.file = cfg_bytes(["c:\\"], left, top)
        s.cfg.write_bytes(self.file)
        s.running = s.start_exe()
        return wait_until(lambda: s.shown(SMALL), "the drive window", 60)

    def drag(self, s, small, to_left, to_top):
        """A left drag of the drive window until its top left is at this pixel, at a hand's pace."""
        x, y = small["client"][0] + 150, small["client"][1] + 12
        s.xdotool("mousemove", x, y, "mousedown", 1)
        wait_until(lambda: s.shown(SMALL)["captured"], "the press to reach the drive window")
        left, top = small["rect"][:2]
        for step in range(1, 7):
            at = [left + (to_left - left) * step // 6, top + (to_top - top) * step // 6]
            s.xdotool("mousemove", x + at[0] - left, y + at[1] - top)
            wait_until(lambda: s.shown(SMALL)["rect"][:2] == at, f"the window at {at}")
        s.xdotool("mouseup", 1)
        moved = wait_until(lambda: (w := s.shown(SMALL)) and not w["captured"] and w, "the drag to end")
        self.assertEqual(s.cfg.read_bytes(), self.file, "a drag wrote the file")
        return moved

    def click_closes(self, s, small):
        s.click(*center(small["client"]))
        wait_until(lambda: not s.shown(SMALL), "the drive window to close")

    def test_places_on_a_wide_desktop_kept_across_starts_and_the_end_of_the_session(self):
        with Session(self, desktop=WIDE) as s:
            s.running = None
            small = self.drag(s, self.start(s, 1500, 900), 3000, 60)
            self.click_closes(s, small)
            self.assertEqual(s.cfg.read_bytes(), cfg_bytes(["c:\\"], 3000 * TWIPS, 60 * TWIPS))
            self.assertEqual(self.start(s, 3000 * TWIPS, 60 * TWIPS)["rect"][:2], [3000, 60], "the place of the file")

            # The session ends after a drag: the dragged place is saved before Wine ends the program.
            small = self.drag(s, self.start(s, 1500, 900), 2500, 400)
            s.spawn([*s.wine, "wineboot", "--end-session"], "wineboot").wait(60)
            s.running.wait(30)
            self.assertEqual(s.cfg.read_bytes(), cfg_bytes(["c:\\"], 2500 * TWIPS, 400 * TWIPS))


if __name__ == "__main__":
    main()
