"""A second copy started while one runs ends at once and changes nothing."""

import os
import time

import kvwine
from kvwine import SMALL, KvTestCase, wait_until, write_cfg

OLD_MTIME_NS = 1_000_000_000 * 10**9  # September 2001: any write moves it


class SecondInstance(KvTestCase):
    def test_second_copy_exits_at_once_and_adds_nothing(self):
        s = self.session()
        original = write_cfg(s, ["c:\\"], left=1500, top=1200)
        first = s.start_exe()
        wait_until(lambda: s.tray_texts() or not first.running, 60, 0.2, "the first copy's tray icon")
        self.assertTrue(first.running, f"the first copy ended:\n{first.output()}")
        sml = wait_until(lambda: s.visible(SMALL), 30, 0.2, "the first copy's drive window")
        self.assertTrue(s.idle(sml["pid"]), "the first copy never became idle")

        before = sorted((w["hwnd"], w["class"]) for w in s.windows())
        tips_before = s.tray()
        self.assertEqual(len(tips_before), 1, tips_before)
        self.assertEqual(s.cfg.read_bytes(), original, "a normal start must not rewrite the file")
        os.utime(s.cfg, ns=(OLD_MTIME_NS, OLD_MTIME_NS))

        t0 = time.monotonic()
        second = s.start_exe()
        code = second.wait(20)
        took = time.monotonic() - t0
        self.assertEqual(code, 0, f"second copy exit code {code}:\n{second.output()}")
        self.assertLess(took, 10, f"the second copy took {took:.1f} s to end")

        after = s.windows()
        self.assertEqual(sorted((w["hwnd"], w["class"]) for w in after), before,
                         "the second copy left windows behind")
        self.assertEqual({w["pid"] for w in after}, {sml["pid"]})
        tips_after = s.tray()
        self.assertEqual(len(tips_after), 1, f"tray icons after the second copy: {tips_after}")
        self.assertEqual(s.cfg.read_bytes(), original)
        self.assertEqual(s.cfg.stat().st_mtime_ns, OLD_MTIME_NS, "the second copy wrote the file")
        self.assertEqual(s.help_requests(), [], "the second copy asked for help")
        self.assertTrue(first.running, "the first copy ended")
        self.assertTrue(s.visible(SMALL), "the first copy's drive window went away")


if __name__ == "__main__":
    kvwine.main()
