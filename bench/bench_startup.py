#!/usr/bin/env python3
"""Start-up and memory under Wine: kestrovan99.exe with no drive, with one (c:) and with six
(k: to p:, each a folder of this machine: roots that answer at once), beside kvbaretray.exe (one
window of six labels and one tray icon, built the same way) alone and with one idle thread, and
beside kvbaretray_themed.exe (the same with the themed common controls loaded at start), likewise.

Each run starts one program on the desktop (the shell's taskbar already up) and takes: the time
from starting the process to its window being visible and its tray icon shown with its tip (with
no drive, the program's tip is empty); then,
once the program waits for input, its private bytes (anonymous memory of the process) and working
set; then ends the program. Runs of the variants alternate, and the medians are printed with what
each part costs: the program beyond the bare tray program, a drive, five more, a thread. Then the
DLLs that kestrovan99.exe loads and
kvbaretray.exe does not (Wine's +loaddll trace), each with the private memory of its own image
in kestrovan99's process; with --per-dll, also what each of them adds to kvbaretray.exe when
it loads only that one DLL first (start-up and private bytes, medians). --variant NAME=EXE adds
another build of the program, with the six drives, to the alternated runs (to weigh one change
against another).

Not a test: it checks nothing.

    bench/bench_startup.py [--runs 5] [--per-dll] [--variant NAME=EXE ...] [--build win32|win64]
                           [--dir build/NAME] [--work build/bench/NAME]
"""

import argparse
import json
import re
import shutil
import statistics
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from winesession import (ROOT, SIX_ROOTS, WineSession, build_arguments, chosen_build,  # noqa: E402
                         guest_private_kb, settings, wait_until)

PROGRAMS = {  # exe -> its window's class
    "kestrovan99.exe": "Kestrovan99_smallwindow",
    "kvbaretray.exe": "kvbaretray_window",
    "kvbaretray_themed.exe": "kvbaretray_window",
}
VARIANTS = {  # label -> (exe, arguments, drive slots)
    "no drive": ("kestrovan99.exe", (), []),
    "one drive": ("kestrovan99.exe", (), ["c:\\"]),
    "six drives": ("kestrovan99.exe", (), SIX_ROOTS),
    "bare tray": ("kvbaretray.exe", (), []),
    "bare tray, a thread": ("kvbaretray.exe", ("thread",), []),
    "themed bare tray": ("kvbaretray_themed.exe", (), []),
    "themed, a thread": ("kvbaretray_themed.exe", ("thread",), []),
}
COSTS = [  # (what, the variant with it, the variant without)
    ("the program with no drive, beyond the bare tray", "no drive", "bare tray"),
    ("its first drive", "one drive", "no drive"),
    ("five drives more", "six drives", "one drive"),
    ("one idle thread in the bare tray", "bare tray, a thread", "bare tray"),
    ("the themed common controls in the bare tray", "themed bare tray", "bare tray"),
]
LOADED = re.compile(r'Loaded L"([^"]+)" at [0-9a-fA-F]+: (\w+)')


def dll_private_kb(pid):
    """DLL file name -> KB of its image's pages that became private (written or relocated)."""
    found, name = {}, None
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            head = re.match(r"^[0-9a-f]+-[0-9a-f]+ \S+ \S+ \S+ \S+\s*(.*)$", line)
            if head:
                name = Path(head.group(1)).name.lower() if head.group(1).lower().endswith(".dll") else None
            elif name and line.startswith("Anonymous:"):
                found[name] = found.get(name, 0) + int(line.split()[1])
    return found


def one_run(session, exe, *args, slots=("c:\\",), trace=None):
    """Starts exe with the drive slots (those of SIX_ROOTS mapped) and ends it; returns its figures
    (and with trace, the DLLs it loaded)."""
    session.fresh_shell()
    session.map_drives(slots)
    (session.app_dir / "kv99.cfg").write_bytes(settings(slots))
    with tempfile.TemporaryDirectory() as folder:
        # Appended to by the children, read here by name: no file offset is shared.
        watch_path, trace_path = Path(folder, "watch"), Path(folder, "trace")
        with open(watch_path, "ab") as watch_out, open(trace_path, "ab") as trace_out:
            # With no drive the program's tip is empty.
            watcher = session.start_watch("ready", PROGRAMS[exe], 300000, "tray" if slots else "icon", out=watch_out)
            wait_until(watch_path.read_text, 120, what="kvwatch to watch")
            t0 = time.time() * 1000
            prog = session.start(exe, *args, debug=trace, out=trace_out if trace else None)
        watcher.wait(600)
        ready = json.loads(watch_path.read_text().splitlines()[-1])
        if not ready["window_ms"] or not ready["tray_ms"] or not ready.get("idle"):
            raise RuntimeError(f"{exe} did not come up: {ready}")
        figures = {
            "startup_ms": max(ready["window_ms"], ready["tray_ms"]) - t0,
            "private_kb": guest_private_kb(prog.pid, session.build.bits),
            "working_set_kb": ready["working_set"] / 1024,
            "dlls": dll_private_kb(prog.pid),
        }
        session.end_programs()
        if trace:
            figures["loaded"] = {Path(p.replace("\\\\", "\\").replace("\\", "/")).name.lower(): kind
                                 for p, kind in LOADED.findall(trace_path.read_text(errors="replace"))
                                 if not p.lower().endswith(".exe")}
        return figures


def medians(runs):
    row = {k: statistics.median(r[k] for r in runs) for k in ("startup_ms", "private_kb", "working_set_kb")}
    # The fastest start is the one least held up by the rest of the machine (Xvfb, the wineserver,
    # other work): start-ups of the same program spread over 100 ms here.
    row["fastest_ms"] = min(r["startup_ms"] for r in runs)
    return row


def alternate(session, variants, rounds):
    """variants: label -> (exe, args, slots). Every round runs each once, the order turned by one
    each round; returns label -> list of figures."""
    labels = list(variants)
    results = {label: [] for label in labels}
    for i in range(rounds):
        for label in labels[i % len(labels):] + labels[:i % len(labels)]:
            exe, args, slots = variants[label]
            figures = one_run(session, exe, *args, slots=slots)
            results[label].append(figures)
            print(f"  run {i + 1}/{rounds} {label:24s} start-up {figures['startup_ms']:6.0f} ms  "
                  f"private {figures['private_kb']:6.0f} KB", flush=True)
    return results


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--runs", type=int, default=5)
    p.add_argument("--per-dll", action="store_true")
    p.add_argument("--variant", action="append", default=[], metavar="NAME=EXE")
    build_arguments(p)
    p.add_argument("--work", type=Path, help="default build/bench/NAME")
    args = p.parse_args()
    build = chosen_build(args)
    session = WineSession(args.work or ROOT / "build/bench" / build.name, build)
    try:
        session.install(*(build.dir / exe for exe in PROGRAMS))
        for name, path in (v.split("=", 1) for v in args.variant):
            shutil.copy2(path, session.app_dir / f"{name}.exe")
            PROGRAMS[f"{name}.exe"] = PROGRAMS["kestrovan99.exe"]
            VARIANTS[name] = (f"{name}.exe", (), SIX_ROOTS)
        results = alternate(session, VARIANTS, args.runs)
        table = {label: medians(runs) for label, runs in results.items()}
        print(f"\nmedians of {args.runs} alternated runs; start-up: process start to visible window and "
              "tray icon shown with its tip; memory once idle")
        print(f"{'':22s}{'start-up ms':>12s}{'fastest ms':>12s}{'private KB':>12s}{'working set KB':>16s}")
        for label, row in table.items():
            print(f"{label:22s}{row['startup_ms']:12.0f}{row['fastest_ms']:12.0f}{row['private_kb']:12.0f}"
                  f"{row['working_set_kb']:16.0f}")
        six, bare, thread = table["six drives"], table["bare tray"], table["bare tray, a thread"]
        print(f"six drives beside the bare tray: start-up {six['startup_ms'] / bare['startup_ms']:.2f} times "
              f"(fastest starts {six['fastest_ms'] / bare['fastest_ms']:.2f}); private bytes "
              f"{six['private_kb'] / thread['private_kb']:.2f} times the bare tray with one idle thread")
        themed, themed_thread = table["themed bare tray"], table["themed, a thread"]
        print(f"six drives beside the themed bare tray: start-up {six['startup_ms'] / themed['startup_ms']:.2f} times "
              f"(fastest starts {six['fastest_ms'] / themed['fastest_ms']:.2f}); private bytes "
              f"{six['private_kb'] / themed_thread['private_kb']:.2f} times the themed bare tray with one idle thread")
        print("what each part costs (differences of the medians):")
        for what, with_it, without in COSTS:
            print(f"  {what:48s} start-up {table[with_it]['startup_ms'] - table[without]['startup_ms']:+5.0f} ms  "
                  f"private {table[with_it]['private_kb'] - table[without]['private_kb']:+6.0f} KB")

        ours = one_run(session, "kestrovan99.exe", trace="+loaddll")["loaded"]
        bare = one_run(session, "kvbaretray.exe", trace="+loaddll")["loaded"]
        extra = sorted(set(ours) - set(bare))
        print("\nDLLs kestrovan99.exe loads and kvbaretray.exe does not (+loaddll), with the private "
              "KB of each one's image in kestrovan99's process (median):")
        for name in extra:
            kb = statistics.median(r["dlls"].get(name, 0) for r in results["one drive"])
            print(f"  {name:18s} {ours[name]:8s} {kb:6.0f} KB")
        if set(bare) - set(ours):
            print("  (and the other way round: " + ", ".join(sorted(set(bare) - set(ours))) + ")")
        if args.per_dll and extra:
            print("\neach DLL loaded first by kvbaretray.exe, beside kvbaretray.exe alone (medians):")
            variants = {"alone": ("kvbaretray.exe", (), [])}
            variants.update({name: ("kvbaretray.exe", (name,), []) for name in extra})
            priced = {label: medians(runs) for label, runs in alternate(session, variants, args.runs).items()}
            alone = priced.pop("alone")
            for name, row in priced.items():
                print(f"  {name:18s} start-up {row['startup_ms'] - alone['startup_ms']:+6.0f} ms  "
                      f"private {row['private_kb'] - alone['private_kb']:+6.0f} KB")
    finally:
        session.close()


if __name__ == "__main__":
    main()
