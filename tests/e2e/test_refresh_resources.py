"""GDI objects and private memory stay flat across 1,000 drive window refreshes and 1,000
tray refreshes.

The program answers two registered messages on each of its windows: the number of GDI
objects it has created and not yet deleted ("Kestrovan99.GdiObjects"; Wine's
GetGuiResources answers 0, so the program counts them itself), and its private bytes
("Kestrovan99.PrivateBytes"). Under Wine the latter is the process's resident anonymous
memory, counted in whole 4 KiB pages.

A refresh is driven the way the system drives it: WM_TIMER with timer id 1 to the drive
window (one tick of its 2000 ms timer, which rewrites the six lines) and the tray callback
to the tray window (WM_MOUSEMOVE with the mouse-move message 0x200 in lParam, which runs
traysync: the tooltip and the tray menu's drive entries). Both are sent from one probe
process, so the 2,000 refreshes take seconds, not the 33 minutes of real ticks.

The memory bound. Before measuring, 100 refreshes of each kind warm the program up (the
heap and Wine's own caches reach their working size; the first refreshes after start-up
may still touch new pages). After that a refresh that frees everything it allocates
leaves the figure where it was: in trials 12,000 refreshes moved it by 0 bytes. The bound
is 32 KiB, 8 pages: a leak of 16 bytes per refresh (one forgotten short string or list
node) takes 24 bytes of heap with the block's header, 2,000 x 24 = 48,000 bytes, which passes
the bound with room to spare for free blocks the heap may reuse; any leaked GDI object
(Wine keeps its data in the process), window text or larger buffer passes it by far. The test also checks that the figure can move at all: memory committed and written
into the process from outside must show up in it.
"""

import kvwine
from kvwine import SMALL, TBAR, KvTestCase, wait_until, write_cfg

WM_TIMER = 0x113
WM_MOUSEMOVE = 0x200
TIMER_ID = 1
TRAY_MOVE = 0x200  # the mouse message carried by the tray callback: a move over the icon

WARM_UP = 100
REFRESHES = 1000
PRIVATE_BYTES_BOUND = 32 * 1024
PROBE_COMMIT = 256 * 1024
PAGE = 4096


class RefreshResources(KvTestCase):
    def counters(self, s, hwnd):
        gdi = s.regmsg("Kestrovan99.GdiObjects", hwnd)
        private = s.regmsg("Kestrovan99.PrivateBytes", hwnd)
        self.assertTrue(gdi["ok"] and private["ok"], f"the tray window does not answer: {gdi} {private}")
        return gdi["result"], private["result"]

    def refresh(self, s, sml, tbar, count):
        """count timer ticks to the drive window, then count tray callbacks to the tray window."""
        ticks = s.probe("pump", sml, WM_TIMER, TIMER_ID, 0, count, 0, timeout=300)
        self.assertEqual(ticks["sent"], count, f"timer ticks handled: {ticks}")
        moves = s.probe("pump", tbar, WM_MOUSEMOVE, 0, TRAY_MOVE, count, 0, timeout=300)
        self.assertEqual(moves["sent"], count, f"tray callbacks handled: {moves}")

    def test_gdi_objects_and_private_bytes_stay_flat_across_1000_refreshes(self):
        s = self.session()
        write_cfg(s, ["c:\\", "z:\\", "", "c:\\"], left=1500, top=1200)
        prog = s.start_exe()
        wait_until(lambda: s.tray_texts() or not prog.running, 60, 0.2, "the tray icon")
        self.assertTrue(prog.running, f"the program ended:\n{prog.output()}")
        sml = wait_until(lambda: s.visible(SMALL), 30, 0.2, "the drive window")
        self.assertTrue(s.idle(sml["pid"]))
        tbar = s.window(TBAR)
        self.assertIsNotNone(tbar, "no tray window")

        self.refresh(s, sml["hwnd"], tbar["hwnd"], WARM_UP)
        gdi_before, private_before = self.counters(s, tbar["hwnd"])
        self.refresh(s, sml["hwnd"], tbar["hwnd"], REFRESHES)
        gdi_after, private_after = self.counters(s, tbar["hwnd"])
        grown = private_after - private_before
        print(f"\n{REFRESHES} timer refreshes + {REFRESHES} tray refreshes after a warm-up of "
              f"{WARM_UP} + {WARM_UP}:\n"
              f"  GDI objects    before {gdi_before}, after {gdi_after}\n"
              f"  private bytes  before {private_before}, after {private_after} "
              f"(grown by {grown}; bound {PRIVATE_BYTES_BOUND})", flush=True)

        self.assertGreater(gdi_before, 0, "the drive window's font and brushes are not counted")
        self.assertEqual(gdi_after, gdi_before, "refreshes leak GDI objects")
        self.assertGreater(private_before, 0, "the program reports no private bytes")
        self.assertLess(grown, PRIVATE_BYTES_BOUND, "refreshes leak memory")

        # Still the same program: the refreshes did their work and the lines are there.
        lines = [c["text"] for c in s.window(SMALL)["children"]]
        self.assertEqual(sum(t.startswith("c: ") for t in lines), 2, lines)
        self.assertEqual(sum(t.startswith("z: ") for t in lines), 1, lines)
        self.assertRegex(s.tray_texts()[0], r"^c:\d+MB z:\d+MB c:\d+MB$")

        # The figure follows the process's private memory: pages committed and written from
        # outside show up in it, at page granularity.
        commit = s.probe("commit", sml["pid"], PROBE_COMMIT)
        self.assertEqual(commit["written"], PROBE_COMMIT, commit)
        _, private_committed = self.counters(s, tbar["hwnd"])
        self.assertGreaterEqual(private_committed - private_after, PROBE_COMMIT - PAGE,
                                f"{PROBE_COMMIT} bytes committed into the program moved its private "
                                f"bytes from {private_after} to {private_committed} only")
        self.assertTrue(prog.running)


if __name__ == "__main__":
    kvwine.main()
