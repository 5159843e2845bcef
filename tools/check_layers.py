#!/usr/bin/env python3
"""Fails when a file under src/ includes a header from a folder above its own.

  tools/check_layers.py SRC [STAMP]

The folders, from the top: the composition root (main_win32.cpp); app/ (the program itself);
ui/ and tray/ (the windows, which know each other not); program/ (what windows may see); forms/
and space/; platform/ (the ports); platform/win32/ (the adapter, which sees only the ports). A
file may include headers of its own folder and of folders below it. STAMP is touched on success.
"""
import os, re, sys

RANK = {"": 7, "app": 6, "ui": 5, "tray": 5, "program": 4, "forms": 3, "space": 3,
        "platform/win32": 2, "platform": 1}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder(path):
    parent = os.path.dirname(path)
    return parent if parent in RANK else None


def main():
    src, stamp = sys.argv[1], (sys.argv[2] if len(sys.argv) > 2 else None)
    wrong = []
    for base, _, names in os.walk(src):
        for name in names:
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.relpath(os.path.join(base, name), src).replace(os.sep, "/")
            own = folder(path)
            if own is None:
                wrong.append(f"{path}: in a folder the layers do not name")
                continue
            with open(os.path.join(src, path), encoding="utf-8") as f:
                for header in INCLUDE.findall(f.read()):
                    theirs = folder(header) if "/" in header else None
                    if theirs is None or theirs == own:
                        continue  # a header of its own folder, or not the program's (resources)
                    if RANK[theirs] >= RANK[own]:
                        wrong.append(f"{path} includes {header}: {theirs}/ is not below {own or 'src'}/")
    for line in wrong:
        print("layers:", line, file=sys.stderr)
    if wrong:
        return 1
    if stamp:
        open(stamp, "w").close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
