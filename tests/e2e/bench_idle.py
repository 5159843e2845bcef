#!/usr/bin/env python3
"""Idle and soak figures under Wine: kestrovan99.exe with six slots.

--idle N   (default 60): the program shown with six slots, left alone for N seconds; prints
           the CPU time its process (and the wineserver) used, as a share of one core.
--soak N   : N seconds with a tray callback every 100 ms (as a pointer resting on the icon
           does), printing private bytes, GDI objects and open handles at the start and the end.

Not a test: it checks nothing and is not registered with ctest.
"""

import argparse
import os
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import kvwine  # noqa: E402
from kvwine import SMALL, Session, wait_until, write_cfg  # noqa: E402

TRAY = "Kestrovan99_tbarw"
SIX = ["c:\\", "z:\\", "c:\\", "z:\\", "c:\\", "z:\\"]
TICKS = os.sysconf("SC_CLK_TCK")


def linux_pids(session, needle):
    """Processes of this session (by WINEPREFIX) whose command line holds the needle."""
    want = f"WINEPREFIX={session.prefix}".encode()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            cmd = Path(f"/proc/{entry}/cmdline").read_bytes()
            env = Path(f"/proc/{entry}/environ").read_bytes()
        except OSError:
            continue
        if needle.encode() in cmd and want in env.split(b"\0"):
            found.append(int(entry))
    return found


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime + stime


def figures(session, pid):
    """The program's own answers (Wine answers 0 handles: GetProcessHandleCount is a stub
    there), and the host's count of the process's open file descriptors beside them."""
    hwnd = session.window(TRAY)["hwnd"]
    out = {name: session.regmsg(f"Kestrovan99.{name}", hwnd)["result"]
           for name in ("PrivateBytes", "GdiObjects", "Handles")}
    out["HostFds"] = len(os.listdir(f"/proc/{pid}/fd"))
    return out


def start(session):
    write_cfg(session, SIX, left=1500, top=1200)
    prog = session.start_exe()
    wait_until(lambda: session.visible(SMALL) and session.tray_texts(), 60, 0.2, "drive window and tray")
    session.idle(session.window(SMALL)["pid"])
    return prog


def idle(seconds):
    s = Session(name="bench-idle").start()
    try:
        program = start(s).popen.pid  # the wine process is the program
        server = wait_until(lambda: linux_pids(s, "wineserver"), 10, 0.1, "the wineserver")[0]
        before = (cpu_seconds(program), cpu_seconds(server), time.monotonic())
        time.sleep(seconds)  # the measurement itself: the program is left alone
        after = (cpu_seconds(program), cpu_seconds(server), time.monotonic())
        wall = after[2] - before[2]
        used, served = after[0] - before[0], after[1] - before[1]
        print(f"idle {wall:.0f} s with six slots shown: program {used:.2f} s CPU "
              f"({100 * used / wall:.3f} % of one core), wineserver {served:.2f} s "
              f"({100 * served / wall:.3f} %)")
    finally:
        s.close(failed=False)


def soak(seconds):
    s = Session(name="bench-soak").start()
    try:
        pid = start(s).popen.pid
        first = figures(s, pid)
        print(f"start: {first}", flush=True)
        hwnd = s.window(TRAY)["hwnd"]
        count = int(seconds * 10)
        # WM_MOUSEMOVE carrying WM_MOUSEMOVE: the callback of a pointer moving over the icon.
        pump = s.start_program(s.probe_exe, "pump", hwnd, 0x200, 1, 0x200, count, 100, tag="pump")
        deadline = time.monotonic() + seconds * 2 + 60
        step = max(60, seconds // 10)
        while pump.running and time.monotonic() < deadline:
            try:
                pump.wait(step)
            except TimeoutError:
                print(f"  {time.strftime('%H:%M:%S')}: {figures(s, pid)}", flush=True)
        last = figures(s, pid)
        print(f"end after {count} callbacks: {last}")
        print("change: " + ", ".join(f"{k} {last[k] - first[k]:+d}" for k in first))
    finally:
        s.close(failed=False)


def main():
    root = kvwine.REPO
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--idle", type=int, default=60)
    p.add_argument("--soak", type=int, default=0)
    p.add_argument("--exe", type=Path, default=root / "build/win32/kestrovan99.exe")
    p.add_argument("--probe", type=Path, default=root / "build/win32/kvprobe.exe")
    p.add_argument("--work", type=Path, default=root / "build/native/e2e")
    args = p.parse_args()
    kvwine.CONFIG.update(exe=args.exe.resolve(), probe=args.probe.resolve(), work=args.work.resolve())
    if args.soak:
        soak(args.soak)
    else:
        idle(args.idle)


if __name__ == "__main__":
    main()
