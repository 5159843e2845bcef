#!/usr/bin/env python3
"""Runs one port's contract (a GoogleTest suite of kvcontract.exe, e.g. FilesContract) on the Win32
adapter under Wine, once for each contract build (build/contract-win32, -win64) whose word size Wine
runs here, as the end-to-end files find out (tests/e2e/harness.py); fails where none runs."""
import re, shutil, subprocess, sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import harness  # noqa: E402


def passes(build, suite, display):
    work = harness.WORK / f"contract-{suite}-{build.name}"
    shutil.rmtree(work, ignore_errors=True)
    # A blank and a letter outside the code page in the program's folder: Wine quotes its path on
    # the command line, and the folder comes back in UTF-8.
    folder = work / "kv contract \u03ba"
    folder.mkdir(parents=True)
    exe = shutil.copy2(harness.REPO / "build" / f"contract-{build.name}" / "kvcontract.exe", folder)
    harness.clone(harness.template(build, display), work / "prefix")
    env = harness.wine_env(build, work / "prefix", display)
    print(f"== {build.name}: {exe}", flush=True)
    try:
        run = subprocess.run([build.loader, exe, f"--gtest_filter={suite}.*", "/min"], env=env, timeout=240,
                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, text=True, errors="replace")
        print(run.stdout, flush=True)
        ran = re.search(r"^\[==========\] (\d+) tests? from", run.stdout, re.M)
        if not ran or ran[1] == "0":
            print(f"{exe} ran no test of {suite}: a stale or broken build", flush=True)
        return run.returncode == 0 and bool(ran) and ran[1] != "0"
    finally:
        subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
        shutil.rmtree(work, ignore_errors=True)


def main(suite):
    running = harness.running_builds("contract")
    with open(harness.WORK / f"contract-{suite}-xvfb.log", "wb") as log:
        xvfb, display = harness.start_xvfb(log)
    try:
        failed = [b.name for b in running if not passes(b, suite, display)]
    finally:
        harness.stop(xvfb)
    sys.exit(f"{suite} failed on {' and '.join(failed)}" if failed else 0)


if __name__ == "__main__":
    main(sys.argv[1])
