#!/usr/bin/env python3
"""Start-up benchmark under Wine: kestrovan99.exe beside kvminimal.exe.

For each program and each run, in a fresh session (own Xvfb and prefix, desktop and
taskbar already up): the time from starting the process to its window being visible
(for kestrovan99.exe: the drive window visible and the tray icon carrying its tip),
then, once the program waits for input, its working set and private bytes as the
system reports them from outside, and for kestrovan99.exe its own GDI-object and
private-bytes answers. Prints the median of each figure over the runs.

Not a test: it checks nothing and is not registered with ctest.

    tests/e2e/bench_startup.py [--runs 5] [--exe build/win32/kestrovan99.exe]
                               [--probe build/win32/kvprobe.exe] [--minimal .../kvminimal.exe]
"""

import argparse
import json
import shutil
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import kvwine  # noqa: E402
from kvwine import SMALL, Session, wait_until, write_cfg  # noqa: E402


def first_json_lines(path):
    try:
        lines = Path(path).read_text(errors="replace").splitlines()
    except OSError:
        return []
    out = []
    for line in lines:
        line = line.strip()
        if line.startswith("{"):
            try:
                out.append(json.loads(line))
            except ValueError:
                pass
    return out


def one_run(program, args):
    """Returns a dict of figures for one start of `program` ("kestrovan99" or "minimal")."""
    s = Session(name=f"bench-{program}", helpstub=True).start()
    try:
        if program == "kestrovan99":
            write_cfg(s, ["c:\\"], left=1500, top=1200)
            cls, tray = SMALL, ["tray"]
        else:
            shutil.copy2(args.minimal, s.app_dir / "kvminimal.exe")
            cls, tray = "kvminimal_window", []
        watcher = s.start_program(args.probe, "waitready", cls, 60000, *tray, tag="waitready")
        wait_until(lambda: first_json_lines(watcher.out_path), 30, 0.05, "the watcher to start")
        t0 = time.time() * 1000.0
        if program == "kestrovan99":
            prog = s.start_exe()
        else:
            prog = s._spawn([s.app_win + "\\kvminimal.exe"], "kvminimal", cwd=s.app_dir)
        watcher.wait(90)
        result = first_json_lines(watcher.out_path)[-1]
        if not result.get("window_ms") or (tray and not result.get("tray_ms")):
            raise kvwine.WineError(f"{program} did not come up: {result}; {prog.output()}")
        ready = max(result["window_ms"], result.get("tray_ms") or 0)
        figures = {"startup_ms": ready - t0, "window_ms": result["window_ms"] - t0}
        pid = result["pid"]
        s.idle(pid)
        mem = s.procmem(pid)
        figures["working_set_kb"] = mem["working_set"] / 1024
        # Wine leaves PrivateUsage at 0 for other processes; PagefileUsage is the same
        # figure on Windows (private committed bytes) and Wine fills it.
        figures["private_kb"] = (mem["private_usage"] or mem["pagefile_usage"]) / 1024
        if program == "kestrovan99":
            hwnd = s.window(SMALL)["hwnd"]
            figures["own_gdi_objects"] = s.regmsg("Kestrovan99.GdiObjects", hwnd)["result"]
            figures["own_private_kb"] = s.regmsg("Kestrovan99.PrivateBytes", hwnd)["result"] / 1024
        return figures
    finally:
        s.close(failed=False)


def main():
    root = kvwine.REPO
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--runs", type=int, default=5)
    p.add_argument("--exe", type=Path, default=root / "build/win32/kestrovan99.exe")
    p.add_argument("--probe", type=Path, default=root / "build/win32/kvprobe.exe")
    p.add_argument("--minimal", type=Path)
    p.add_argument("--work", type=Path, default=root / "build/native/e2e")
    args = p.parse_args()
    args.minimal = args.minimal or args.probe.with_name("kvminimal.exe")
    for path in (args.exe, args.probe, args.minimal):
        if not path.is_file():
            sys.exit(f"bench_startup: missing {path}; build the win32 tree first")
    kvwine.CONFIG.update(exe=args.exe.resolve(), probe=args.probe.resolve(),
                         work=args.work.resolve())

    results = {"kestrovan99": [], "minimal": []}
    for i in range(args.runs):
        for program in results:
            figures = one_run(program, args)
            results[program].append(figures)
            print(f"run {i + 1}/{args.runs} {program:12s} "
                  + " ".join(f"{k}={v:.0f}" for k, v in figures.items()), flush=True)

    print(f"\nmedians over {args.runs} runs under {kvwine.wine_version()}; startup_ms: process"
          " start to visible window (kestrovan99: and tray tip); memory once idle:")
    keys = ["startup_ms", "window_ms", "working_set_kb", "private_kb", "own_gdi_objects",
            "own_private_kb"]
    print(f"{'':14s}" + "".join(f"{k:>16s}" for k in keys))
    for program, runs in results.items():
        row = f"{program:14s}"
        for k in keys:
            values = [r[k] for r in runs if k in r]
            row += f"{statistics.median(values):16.0f}" if values else f"{'-':>16s}"
        print(row)


if __name__ == "__main__":
    main()
