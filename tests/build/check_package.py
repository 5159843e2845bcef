#!/usr/bin/env python3
"""The package holds the program and its help file, side by side, as built."""
import sys
import zipfile
from pathlib import Path

package, folder = Path(sys.argv[1]), Path(sys.argv[2])
with zipfile.ZipFile(package) as z:
    names = sorted(z.namelist())
    expected = ["kestrovan99.exe", "kestrovan99.hlp"]
    if names != expected:
        sys.exit(f"{package.name} holds {names}, not {expected}")
    for name in expected:
        if z.read(name) != (folder / name).read_bytes():
            sys.exit(f"{name} in {package.name} differs from the one in {folder}")
print(f"{package.name}: {', '.join(names)}, same bytes as the build")
