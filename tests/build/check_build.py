#!/usr/bin/env python3
"""Checks of the cross build's kestrovan99.exe and package, as binutils' own printers show them:
check_build.py OBJDUMP WINDRES EXE ZIP VERSION BUILD prints one line a check and exits 1 when any
fails; VERSION is the project's, such as 1.4.0.3 (the program spells it 1.04.0003), BUILD win32 or win64."""
import os, re, subprocess, sys, zipfile

objdump, windres, exe, package, numbers, build = sys.argv[1:7]
major, minor, patch, revision = numbers.split(".")
spelled = f"{major}.{int(minor):02}.{int(revision):04}"
headers = subprocess.run([objdump, "-p", exe], capture_output=True, text=True, check=True).stdout
resources = subprocess.run([windres, "-i", exe, "-O", "rc"], capture_output=True, text=True, check=True).stdout
imports = {name.lower() for name in re.findall(r"DLL Name: (\S+)", headers)}
# Width in octal and bits of each image of the program's icon group.
icon = sorted((int(w, 8), int(b)) for w, b in re.findall(r'"\\(\d+)\\\d+\\\d+\\\d+", 1, (\d+),', resources))
version = {"FileVersion": spelled, "ProductVersion": spelled, "FileDescription": "Shows free disk space.",
           "ProductName": "Kestrovan '99", "InternalName": "kestrovan99", "OriginalFilename": "kestrovan99.exe"}
with zipfile.ZipFile(package) as z:
    packed = sorted(z.namelist())

machine = {"win32": "pei-i386", "win64": "pei-x86-64"}[build]
checks = [
    (f"an {machine} image", re.search(rf"file format {machine}$", headers, re.M)),
    ("imports only DLLs that Windows ships (no compiler runtime)", "kernel32.dll" in imports and imports <= {
        f"{n}.dll" for n in "kernel32 user32 gdi32 comctl32 comdlg32 advapi32 msvcrt version shlwapi ole32 oleaut32 "
        "uxtheme winmm imm32 ntdll".split()}),
    ("shell32 is loaded only when needed, not imported", "shell32.dll" not in imports),
    ("no larger than 600 KB", os.path.getsize(exe) <= 600 * 1024),
    ("a Windows GUI program", re.search(r"^Subsystem\s+00000002", headers, re.M)),
    ("ASLR: DYNAMIC_BASE", re.search(r"^\s+DYNAMIC_BASE$", headers, re.M)),
    ("DEP: NX_COMPAT", re.search(r"^\s+NX_COMPAT$", headers, re.M)),
    ("sections on pages in the file as in memory (4096 bytes), so the loader maps them",
     re.search(r"^SectionAlignment\s+00001000$", headers, re.M) and re.search(r"^FileAlignment\s+00001000$", headers, re.M)),
    (f"version numbers {numbers}", "".join(f" {k} {numbers.replace('.', ', ')}\n" for k in ("FILEVERSION",
                                                                                          "PRODUCTVERSION")) in resources),
    *((f"version string {k}", f'VALUE "{k}", "{v}"\n' in resources) for k, v in version.items()),
    ("an icon of six images, 16, 32 and 48 px in 4 and 8 bits", icon == [(16, 4), (16, 8), (32, 4), (32, 8), (48, 4),
                                                                         (48, 8)]),
    ("a manifest asking for no elevation", "RT_MANIFEST" in resources and "asInvoker" in resources),
    ("the package holds the program, its help file and its help page",
     packed == ["kestrovan99.exe", "kestrovan99.hlp", "kestrovan99.htm"]),
]
for what, ok in checks:
    print("ok    " if ok else "FAILED", what)
print("imports:", sorted(imports), "icon:", icon, "package:", packed)
sys.exit(0 if all(ok for _, ok in checks) else 1)
