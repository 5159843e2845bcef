#!/usr/bin/env python3
"""Start-up and memory under Wine: kestrovan99.exe beside kvbaretray.exe (one window of six
labels and one tray icon) and kvminimal.exe (one window), all built the same way.

Each run starts one program on the desktop (the shell's taskbar already up) and takes: the time
from starting the process to its window being visible and, for the two tray programs, their tray
icon shown with its tip; then, once the program waits for input, its private bytes (anonymous
memory of the process) and working set; then ends the program. Runs of the programs alternate,
and the medians are printed with the ratios. Then the DLLs that kestrovan99.exe loads and
kvbaretray.exe does not (Wine's +loaddll trace), each with the private memory of its own image
in kestrovan99's process; with --per-dll, also what each of them adds to kvbaretray.exe when
it loads only that one DLL first (start-up and private bytes, medians). --variant NAME=EXE adds
another build of the program to the alternated runs (to weigh one change against another).

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
from winesession import (ROOT, WineSession, build_arguments, chosen_build, guest_private_kb,  # noqa: E402
                         wait_until)

PROGRAMS = {  # exe -> (window class, tray icon awaited)
    "kestrovan99.exe": ("Kestrovan99_smallwindow", True),
    "kvbaretray.exe": ("kvbaretray_window", True),
    "kvminimal.exe": ("kvminimal_window", False),
}
SETTINGS = b'"c:\\"\r\n""\r\n""\r\n""\r\n""\r\n""\r\n1500\r\n1200\r\n'  # one drive, window at 100,80
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


def one_run(session, exe, *args, trace=None):
    """Starts exe and ends it; returns its figures (and with trace, the DLLs it loaded)."""
    cls, tray = PROGRAMS[exe]
    (session.app_dir / "kv99.cfg").write_bytes(SETTINGS)
    with tempfile.TemporaryDirectory() as folder:
        # Appended to by the children, read here by name: no file offset is shared.
        watch_path, trace_path = Path(folder, "watch"), Path(folder, "trace")
        with open(watch_path, "ab") as watch_out, open(trace_path, "ab") as trace_out:
            watcher = session.start_watch("ready", cls, 300000, *(["tray"] if tray else []), out=watch_out)
            wait_until(watch_path.read_text, 120, what="kvwatch to watch")
            t0 = time.time() * 1000
            prog = session.start(exe, *args, debug=trace, out=trace_out if trace else None)
        watcher.wait(600)
        ready = json.loads(watch_path.read_text().splitlines()[-1])
        if not ready["window_ms"] or (tray and not ready["tray_ms"]) or not ready.get("idle"):
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
    return {k: statistics.median(r[k] for r in runs) for k in ("startup_ms", "private_kb", "working_set_kb")}


def alternate(session, variants, rounds):
    """variants: label -> (exe, args). Every round runs each once, the order turned by one each
    round; returns label -> list of figures."""
    labels = list(variants)
    results = {label: [] for label in labels}
    for i in range(rounds):
        for label in labels[i % len(labels):] + labels[:i % len(labels)]:
            exe, args = variants[label]
            figures = one_run(session, exe, *args)
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
        results = alternate(session, {exe: (exe, ()) for exe in PROGRAMS}, args.runs)
        table = {exe: medians(runs) for exe, runs in results.items()}
        print(f"\nmedians of {args.runs} alternated runs; start-up: process start to visible window "
              "(the tray programs: and their icon shown with its tip); memory once idle")
        print(f"{'':18s}{'start-up ms':>12s}{'private KB':>12s}{'working set KB':>16s}")
        for exe, row in table.items():
            print(f"{exe:18s}{row['startup_ms']:12.0f}{row['private_kb']:12.0f}{row['working_set_kb']:16.0f}")
        for ours in (exe for exe in PROGRAMS if PROGRAMS[exe] == PROGRAMS["kestrovan99.exe"]):
            for base in ("kvbaretray.exe", "kvminimal.exe"):
                print(f"{ours} / {base}: start-up {table[ours]['startup_ms'] / table[base]['startup_ms']:.2f}, "
                      f"private bytes {table[ours]['private_kb'] / table[base]['private_kb']:.2f}")

        ours = one_run(session, "kestrovan99.exe", trace="+loaddll")["loaded"]
        bare = one_run(session, "kvbaretray.exe", trace="+loaddll")["loaded"]
        extra = sorted(set(ours) - set(bare))
        print("\nDLLs kestrovan99.exe loads and kvbaretray.exe does not (+loaddll), with the private "
              "KB of each one's image in kestrovan99's process (median):")
        for name in extra:
            kb = statistics.median(r["dlls"].get(name, 0) for r in results["kestrovan99.exe"])
            print(f"  {name:18s} {ours[name]:8s} {kb:6.0f} KB")
        if set(bare) - set(ours):
            print("  (and the other way round: " + ", ".join(sorted(set(bare) - set(ours))) + ")")
        if args.per_dll and extra:
            print("\neach DLL loaded first by kvbaretray.exe, beside kvbaretray.exe alone (medians):")
            variants = {"alone": ("kvbaretray.exe", ())}
            variants.update({name: ("kvbaretray.exe", (name,)) for name in extra})
            priced = {label: medians(runs) for label, runs in alternate(session, variants, args.runs).items()}
            alone = priced.pop("alone")
            for name, row in priced.items():
                print(f"  {name:18s} start-up {row['startup_ms'] - alone['startup_ms']:+6.0f} ms  "
                      f"private {row['private_kb'] - alone['private_kb']:+6.0f} KB")
    finally:
        session.close()


if __name__ == "__main__":
    main()
