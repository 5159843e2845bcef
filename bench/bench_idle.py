#!/usr/bin/env python3
"""Idle and soak figures under Wine: kestrovan99.exe with six slots on six roots that answer at
once (k: to p:, each a folder of this machine).

--idle N   (default 60): the program shown with six slots, left alone for N seconds; prints
           the CPU time its process (and the wineserver) used, as a share of one core.
--soak N   : N seconds with a tray callback every 100 ms (as a pointer resting on the icon
           does), printing private bytes, GDI objects and open handles at the start and the end.
--build win32|win64 (with --dir and --work): the build, as in bench_startup.py.

Not a test: it checks nothing.
"""

import argparse
import json
import os
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from winesession import (ROOT, SIX_ROOTS, WineSession, build_arguments, chosen_build, settings,  # noqa: E402
                         wait_until)

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime + stime


def wineserver_pid(session):
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            environ = Path(f"/proc/{entry}/environ").read_bytes().split(b"\0")
            if b"wineserver" in Path(f"/proc/{entry}/cmdline").read_bytes() and \
                    f"WINEPREFIX={session.prefix}".encode() in environ:
                return int(entry)
        except OSError:
            pass
    return None


def start(session):
    """kestrovan99.exe up with six slots on six roots and idle; returns (its process, tray window handle)."""
    session.map_drives(SIX_ROOTS)
    (session.app_dir / "kv99.cfg").write_bytes(settings(SIX_ROOTS))
    prog = session.start("kestrovan99.exe")
    session.watch("ready", "Kestrovan99_smallwindow", 300000, "tray", timeout=600)
    rc, tray = session.watch("wait", "Kestrovan99_tbarw", 1, "any")  # the hidden tray window
    return prog, json.loads(tray)["hwnd"]


def own_figures(session, hwnd):
    return {name: json.loads(session.watch("regmsg", f"Kestrovan99.{name}", hwnd)[1])["result"]
            for name in ("PrivateBytes", "GdiObjects", "Handles")}


def idle(session, seconds):
    program = start(session)[0].pid  # the wine process is the program
    server = wait_until(lambda: wineserver_pid(session), 10, what="the wineserver")
    before = (cpu_seconds(program), cpu_seconds(server), time.monotonic())
    time.sleep(seconds)  # the measurement itself: the program is left alone
    after = (cpu_seconds(program), cpu_seconds(server), time.monotonic())
    wall = after[2] - before[2]
    used, served = after[0] - before[0], after[1] - before[1]
    print(f"idle {wall:.0f} s with six slots shown: program {used:.2f} s CPU ({100 * used / wall:.3f} % of "
          f"one core), wineserver {served:.2f} s ({100 * served / wall:.3f} %)")


def soak(session, seconds):
    prog, hwnd = start(session)
    first = own_figures(session, hwnd)
    print(f"start: {first}, host file descriptors {len(os.listdir(f'/proc/{prog.pid}/fd'))}", flush=True)
    count = int(seconds * 10)
    # WM_MOUSEMOVE carrying WM_MOUSEMOVE: the callback of a pointer moving over the icon.
    session.watch("pump", hwnd, 0x200, 1, 0x200, count, 100, timeout=seconds * 3 + 120)
    last = own_figures(session, hwnd)
    print(f"end after {count} callbacks: {last}, host file descriptors {len(os.listdir(f'/proc/{prog.pid}/fd'))}")
    print("change: " + ", ".join(f"{k} {last[k] - first[k]:+d}" for k in first))


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--idle", type=int, default=60)
    p.add_argument("--soak", type=int, default=0)
    build_arguments(p)
    p.add_argument("--work", type=Path, help="default build/bench/NAME")
    args = p.parse_args()
    build = chosen_build(args)
    session = WineSession(args.work or ROOT / "build/bench" / build.name, build)
    try:
        session.install(build.dir / "kestrovan99.exe")
        soak(session, args.soak) if args.soak else idle(session, args.idle)
    finally:
        session.close()


if __name__ == "__main__":
    main()
