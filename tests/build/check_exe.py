#!/usr/bin/env python3
"""Checks of the built kestrovan99.exe and its icon file (run by ctest from the native build).

    check_exe.py imports   --objdump OBJDUMP EXE   only system DLLs are imported
    check_exe.py hardening --objdump OBJDUMP EXE   32-bit GUI program with ASLR (and relocations)
                                                   and DEP
    check_exe.py version   EXE                     the version block holds the program's identity
    check_exe.py icon      ICO                     six images: 16, 32, 48 px in 4 and 8 bits
    check_exe.py resources EXE ICO                 icon group, banners and manifest in the exe
    check_exe.py rejects   --objdump OBJDUMP EXE ICO
                                                   each check above fails on a damaged copy

Each command prints what it found and exits with 1 when a check fails.
"""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile


class CheckFailed(Exception):
    pass


def require(condition, message):
    if not condition:
        raise CheckFailed(message)


# ---------------------------------------------------------------------------------------------
# What the program must be.

# DLLs that every supported Windows ships; nothing of the compiler's runtime (libstdc++-6.dll,
# libgcc_s_*.dll, libwinpthread-1.dll, libssp-0.dll) may appear.
SYSTEM_DLLS = {
    'kernel32.dll', 'user32.dll', 'gdi32.dll', 'shell32.dll', 'comctl32.dll', 'advapi32.dll',
    'msvcrt.dll', 'comdlg32.dll', 'version.dll', 'shlwapi.dll', 'ole32.dll', 'oleaut32.dll',
    'uxtheme.dll', 'winmm.dll', 'imm32.dll', 'ntdll.dll', 'hhctrl.ocx',
}

IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE = 0x0040
IMAGE_DLLCHARACTERISTICS_NX_COMPAT = 0x0100

VERSION_STRINGS = {
    'CompanyName': 'Kestrovan Software',
    'FileDescription': 'Shows free disk space.',
    'FileVersion': '1.04.0003',
    'InternalName': 'kestrovan99',
    'LegalCopyright': 'Copyright (C) 1999-2026 Kestrovan Software',
    'OriginalFilename': 'kestrovan99.exe',
    'ProductName': "Kestrovan '99",
    'ProductVersion': '1.04.0003',
}
VERSION_NUMBERS = (1, 4, 0, 3)
STRING_TABLE = '040904b0'
TRANSLATION = (0x409, 1200)

ICON_IMAGES = sorted([(16, 4), (32, 4), (48, 4), (16, 8), (32, 8), (48, 8)])
IDI_PROGRAM = 1
BANNERS = {101: (291, 50), 102: (291, 50)}   # IDB_OPTIONS_BANNER, IDB_ABOUT_BANNER

RT_ICON, RT_BITMAP, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 2, 14, 16, 24


# ---------------------------------------------------------------------------------------------
# objdump -p

def objdump(tool, exe):
    require(tool and shutil.which(tool), f"objdump not found: {tool!r}")
    require(os.path.isfile(exe), f"no such file: {exe}")
    run = subprocess.run([tool, '-p', exe], capture_output=True, text=True)
    require(run.returncode == 0, f"{tool} -p failed: {run.stderr.strip()}")
    return run.stdout


def check_imports(args):
    dump = objdump(args.objdump, args.exe)
    dlls = re.findall(r'^\s*DLL Name:\s*(\S+)\s*$', dump, re.M)
    print("imports:", ', '.join(dlls))
    require(any(d.lower() == 'kernel32.dll' for d in dlls), "no import table with KERNEL32.dll found")
    foreign = sorted({d for d in dlls if d.lower() not in SYSTEM_DLLS})
    require(not foreign, "imports DLLs that Windows does not ship: " + ', '.join(foreign))


def check_hardening(args):
    dump = objdump(args.objdump, args.exe)
    require(re.search(r'file format pei-i386', dump), "not a 32-bit (pei-i386) executable")
    subsystem = re.search(r'^Subsystem\s+([0-9a-fA-F]+)', dump, re.M)
    require(subsystem and int(subsystem.group(1), 16) == 2, "subsystem is not Windows GUI (2)")
    found = re.search(r'^DllCharacteristics\s+([0-9a-fA-F]+)((?:\n\s+[A-Z_]+)*)', dump, re.M)
    require(found, "no DllCharacteristics in objdump -p")
    value = int(found.group(1), 16)
    names = found.group(2).split()
    print(f"DllCharacteristics {value:#06x}:", ' '.join(names))
    for bit, name in ((IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE, 'DYNAMIC_BASE'),
                      (IMAGE_DLLCHARACTERISTICS_NX_COMPAT, 'NX_COMPAT')):
        require(value & bit and name in names, f"{name} is not set")
    # Without base relocations the loader cannot move the image, whatever DYNAMIC_BASE says.
    reloc = re.search(r'^Entry 5 ([0-9a-fA-F]+) ([0-9a-fA-F]+) Base Relocation Directory', dump, re.M)
    require(reloc and int(reloc.group(2), 16) > 0, "no base relocations: the image cannot be moved")


# ---------------------------------------------------------------------------------------------
# PE resources, read directly from the file.

class Pe:
    def __init__(self, path):
        require(os.path.isfile(path), f"no such file: {path}")
        with open(path, 'rb') as f:
            self.data = f.read()
        d = self.data
        require(d[:2] == b'MZ', "not an MZ executable")
        pe = struct.unpack_from('<I', d, 0x3c)[0]
        require(d[pe:pe + 4] == b'PE\0\0', "no PE signature")
        machine, sections, _, _, _, opt_size, _ = struct.unpack_from('<HHIIIHH', d, pe + 4)
        require(machine == 0x14c, f"machine {machine:#x} is not i386")
        opt = pe + 24
        require(struct.unpack_from('<H', d, opt)[0] == 0x10b, "not a PE32 optional header")
        count = struct.unpack_from('<I', d, opt + 92)[0]
        require(count > 2, "no resource directory entry")
        self.rsrc_rva, self.rsrc_size = struct.unpack_from('<II', d, opt + 96 + 2 * 8)
        self.sections = []
        table = opt + opt_size
        for i in range(sections):
            vsize, va, raw_size, raw_ptr = struct.unpack_from('<IIII', d, table + 40 * i + 8)
            self.sections.append((va, max(vsize, raw_size), raw_ptr))
        require(self.rsrc_rva and self.rsrc_size, "the executable has no resources")
        self.rsrc = self.offset(self.rsrc_rva)

    def offset(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return raw + rva - va
        raise CheckFailed(f"address {rva:#x} lies in no section")

    def _entries(self, directory):
        d = self.data
        named, ids = struct.unpack_from('<HH', d, self.rsrc + directory + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from('<II', d, self.rsrc + directory + 16 + 8 * i)
            if name & 0x80000000:
                at = self.rsrc + (name & 0x7fffffff)
                length = struct.unpack_from('<H', d, at)[0]
                key = d[at + 2:at + 2 + 2 * length].decode('utf-16-le')
            else:
                key = name
            yield key, target

    def resources(self):
        """{(type, name): [bytes of each language]}"""
        found = {}
        for rtype, t in self._entries(0):
            require(t & 0x80000000, "resource type without a directory")
            for name, n in self._entries(t & 0x7fffffff):
                require(n & 0x80000000, "resource name without a directory")
                for _lang, leaf in self._entries(n & 0x7fffffff):
                    require(not leaf & 0x80000000, "resource language with a directory")
                    rva, size = struct.unpack_from('<II', self.data, self.rsrc + leaf)
                    at = self.offset(rva)
                    found.setdefault((rtype, name), []).append(self.data[at:at + size])
        return found


def one_resource(resources, rtype, name, what):
    blobs = resources.get((rtype, name))
    require(blobs, f"no {what} resource (type {rtype}, name {name})")
    require(len(blobs) == 1, f"{what} resource present in {len(blobs)} languages")
    return blobs[0]


# ---------------------------------------------------------------------------------------------
# Version block: nodes of (wLength, wValueLength, wType, key, value, children).

def _align4(n):
    return (n + 3) & ~3


def version_node(data, at):
    length, value_length, kind = struct.unpack_from('<HHH', data, at)
    require(length >= 6 and at + length <= len(data), "version block node runs past its end")
    end = at + length
    pos = at + 6
    key_end = pos
    while data[key_end:key_end + 2] != b'\0\0':
        key_end += 2
        require(key_end < end, "version block key without its terminator")
    key = data[pos:key_end].decode('utf-16-le')
    pos = _align4(key_end + 2)
    value_bytes = value_length * 2 if kind == 1 else value_length
    value = data[pos:pos + value_bytes]
    pos = _align4(pos + value_bytes)
    children = []
    while pos < end:
        child, pos = version_node(data, pos)
        children.append(child)
    return (key, kind, value, children), _align4(end)


def read_version(blob):
    (key, _, fixed, children), _ = version_node(blob, 0)
    require(key == 'VS_VERSION_INFO', f"version block is named {key!r}")
    require(len(fixed) == 52, "version block without its fixed part")
    fields = struct.unpack('<13I', fixed)
    require(fields[0] == 0xFEEF04BD, "fixed file information has a wrong signature")
    numbers = lambda ms, ls: (ms >> 16, ms & 0xffff, ls >> 16, ls & 0xffff)
    info = {'file': numbers(fields[2], fields[3]), 'product': numbers(fields[4], fields[5]),
            'tables': {}, 'translation': None}
    for child_key, _, _, grand in children:
        if child_key == 'StringFileInfo':
            for table_key, _, _, strings in grand:
                table = {}
                for name, kind, value, _ in strings:
                    require(kind == 1, f"version string {name!r} is not text")
                    text = value.decode('utf-16-le')
                    require(text.endswith('\0'), f"version string {name!r} is not terminated")
                    table[name] = text.rstrip('\0')
                info['tables'][table_key] = table
        elif child_key == 'VarFileInfo':
            for var_key, _, value, _ in grand:
                if var_key == 'Translation':
                    info['translation'] = struct.unpack('<' + 'H' * (len(value) // 2), value)
    return info


def check_version(args):
    info = read_version(one_resource(Pe(args.exe).resources(), RT_VERSION, 1, "version"))
    print("file version", info['file'], "product version", info['product'])
    require(info['file'] == VERSION_NUMBERS, f"FILEVERSION is {info['file']}")
    require(info['product'] == VERSION_NUMBERS, f"PRODUCTVERSION is {info['product']}")
    require(list(info['tables']) == [STRING_TABLE],
            f"string tables are {list(info['tables'])}, not [{STRING_TABLE!r}]")
    table = info['tables'][STRING_TABLE]
    for name, text in sorted(table.items()):
        print(f"  {name} = {text!r}")
    for name, text in VERSION_STRINGS.items():
        require(table.get(name) == text, f"{name} is {table.get(name)!r}, not {text!r}")
    extra = sorted(set(table) - set(VERSION_STRINGS))
    require(not extra, "unexpected version strings: " + ', '.join(extra))
    require(info['translation'] == TRANSLATION, f"Translation is {info['translation']}")


# ---------------------------------------------------------------------------------------------
# Icons.

def check_icon_image(blob, width, height, bits, what):
    """One image of an icon: its header agrees with the directory, it carries a palette, colour
    bits and an AND mask, and transparent pixels are black in the colour bits."""
    require(len(blob) >= 40, f"{what}: image shorter than its header")
    size, w, h, planes, depth, compression = struct.unpack_from('<IiiHHI', blob, 0)
    require(size == 40, f"{what}: header size {size}")
    require((w, h) == (width, 2 * height), f"{what}: header says {w} x {h // 2}")
    require(planes == 1 and depth == bits and compression == 0,
            f"{what}: {planes} planes, {depth} bits, compression {compression}")
    colours = struct.unpack_from('<I', blob, 32)[0] or (1 << bits)
    require(colours == 1 << bits, f"{what}: palette of {colours} colours")
    xor_stride = (width * bits + 31) // 32 * 4
    and_stride = (width + 31) // 32 * 4
    pal = 40 + 4 * colours
    expected = pal + xor_stride * height + and_stride * height
    require(len(blob) == expected, f"{what}: {len(blob)} bytes, not {expected} (mask missing?)")
    mask = blob[pal + xor_stride * height:]
    clear = opaque = 0
    for y in range(height):
        for x in range(width):
            transparent = mask[y * and_stride + x // 8] & (0x80 >> (x % 8))
            if bits == 8:
                index = blob[pal + y * xor_stride + x]
            else:
                byte = blob[pal + y * xor_stride + x // 2]
                index = byte >> 4 if x % 2 == 0 else byte & 0xf
            if transparent:
                clear += 1
                # AND 1 with XOR 0 shows the screen; any other colour would be inverted onto it.
                colour = blob[40 + 4 * index:40 + 4 * index + 3]
                require(colour == b'\0\0\0', f"{what}: a transparent pixel is not black")
            else:
                opaque += 1
    require(opaque > width * height // 2, f"{what}: mostly transparent")
    require(clear > 0, f"{what}: the mask leaves no pixel transparent")


def read_icon_file(path):
    require(os.path.isfile(path), f"no such file: {path}")
    with open(path, 'rb') as f:
        data = f.read()
    reserved, kind, count = struct.unpack_from('<HHH', data, 0)
    require(reserved == 0 and kind == 1, "not an icon file")
    images = []
    for i in range(count):
        w, h, colours, _, planes, bits, size, offset = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        require(offset + size <= len(data), f"image {i} runs past the end of the file")
        images.append((w or 256, h or 256, colours, planes, bits, data[offset:offset + size]))
    return images


def check_icon_set(images, source):
    found = sorted((w, bits) for w, _h, _c, _p, bits, _b in images)
    print(f"{source}: {len(images)} images:", ', '.join(f"{w}px/{b}-bit" for w, b in found))
    require(found == ICON_IMAGES, f"{source} holds {found}, not {ICON_IMAGES}")
    for w, h, colours, planes, bits, blob in images:
        what = f"{source} {w}px {bits}-bit"
        require(h == w, f"{what}: not square")
        require(planes == 1, f"{what}: {planes} planes in the directory")
        require(colours == (16 if bits == 4 else 0), f"{what}: colour count {colours}")
        check_icon_image(blob, w, h, bits, what)


def check_icon(args):
    check_icon_set(read_icon_file(args.ico), os.path.basename(args.ico))


def check_resources(args):
    res = Pe(args.exe).resources()
    group = one_resource(res, RT_GROUP_ICON, IDI_PROGRAM, "program icon group")
    reserved, kind, count = struct.unpack_from('<HHH', group, 0)
    require(reserved == 0 and kind == 1, "program icon group has a wrong header")
    images = []
    for i in range(count):
        w, h, colours, _, planes, bits, size, ident = struct.unpack_from('<BBBBHHIH', group, 6 + 14 * i)
        blob = one_resource(res, RT_ICON, ident, f"icon image {ident}")
        require(len(blob) == size, f"icon image {ident}: {len(blob)} bytes, group says {size}")
        images.append((w or 256, h or 256, colours, planes, bits, blob))
    check_icon_set(images, "program icon in the exe")
    # The exe carries the icon file that the build drew, image for image.
    in_file = sorted((w, bits, blob) for w, _h, _c, _p, bits, blob in read_icon_file(args.ico))
    in_exe = sorted((w, bits, blob) for w, _h, _c, _p, bits, blob in images)
    require(in_file == in_exe, "the icon in the exe differs from " + args.ico)

    for ident, (width, height) in BANNERS.items():
        blob = one_resource(res, RT_BITMAP, ident, f"banner bitmap {ident}")
        _, w, h, planes, bits = struct.unpack_from('<IiiHH', blob, 0)
        print(f"bitmap {ident}: {w} x {h}, {bits}-bit")
        require((w, abs(h), planes, bits) == (width, height, 1, 24),
                f"bitmap {ident} is {w} x {h} in {bits} bits, not {width} x {height} in 24")
        stride = (width * 3 + 3) // 4 * 4
        require(len(blob) >= 40 + stride * height, f"bitmap {ident} is short of its pixels")

    manifest = one_resource(res, RT_MANIFEST, 1, "manifest").decode('utf-8')
    for needle, what in (
            (r'<dpiAware[^>]*>\s*true\s*</dpiAware>', "system DPI awareness"),
            (r'name="Microsoft\.Windows\.Common-Controls"\s+version="6\.0\.0\.0"',
             "the Common Controls 6 dependency"),
            (r'level="asInvoker"', "asInvoker"),
            (r'<supportedOS Id="\{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a\}"', "Windows 10 support")):
        require(re.search(needle, manifest), f"the manifest lacks {what}")
    print("manifest: DPI aware, Common Controls 6, asInvoker, supportedOS")


# ---------------------------------------------------------------------------------------------
# Each check must turn red on a damaged build: damage copies of the real files and expect that.

def _patch(data, old, new, start=0):
    """Replaces every occurrence of old from start on (same length, so nothing moves)."""
    require(len(old) == len(new) and old in data[start:], f"cannot damage the copy: {old!r} not found")
    return data[:start] + data[start:].replace(old, new)


def _clear_dll_characteristic(data, bit):
    pe = struct.unpack_from('<I', data, 0x3c)[0]
    at = pe + 24 + 70
    value = struct.unpack_from('<H', data, at)[0]
    return data[:at] + struct.pack('<H', value & ~bit) + data[at + 2:]


def check_rejects(args):
    with open(args.exe, 'rb') as f:
        exe = f.read()
    with open(args.ico, 'rb') as f:
        ico = f.read()
    utf16 = lambda s: s.encode('utf-16-le')

    rsrc = Pe(args.exe).rsrc   # damage the resources themselves, not equal texts in the code
    count = struct.unpack_from('<H', ico, 4)[0]
    bits_of_first = 6 + 6

    damaged = [
        ("an import of a DLL that Windows does not ship", check_imports, 'exe',
         _patch(exe, b'msvcrt.dll', b'libgcc.dll')),
        ("no DYNAMIC_BASE", check_hardening, 'exe',
         _clear_dll_characteristic(exe, IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE)),
        ("no NX_COMPAT", check_hardening, 'exe',
         _clear_dll_characteristic(exe, IMAGE_DLLCHARACTERISTICS_NX_COMPAT)),
        ("a wrong FileVersion", check_version, 'exe',
         _patch(exe, utf16('1.04.0003'), utf16('1.04.0004'), rsrc)),
        ("a wrong ProductName", check_version, 'exe',
         _patch(exe, utf16("Kestrovan '99"), utf16("Kestrovan '98"), rsrc)),
        ("a manifest without asInvoker", check_resources, 'exe',
         _patch(exe, b'asInvoker', b'asInvokex', rsrc)),
        ("an icon file with five images", check_icon, 'ico',
         ico[:4] + struct.pack('<H', count - 1) + ico[6:]),
        ("an icon file with a 4-bit image marked 8-bit", check_icon, 'ico',
         ico[:bits_of_first] + struct.pack('<H', 8 if ico[bits_of_first] == 4 else 4)
         + ico[bits_of_first + 2:]),
    ]
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        for what, check, kind, data in damaged:
            path = os.path.join(tmp, 'damaged.' + kind)
            with open(path, 'wb') as f:
                f.write(data)
            sub = argparse.Namespace(**vars(args))
            setattr(sub, kind, path)
            try:
                check(sub)
            except CheckFailed as e:
                print(f"rejected {what}: {e}")
                continue
            failures.append(what)
    require(not failures, "checks passed a damaged build: " + '; '.join(failures))


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    sub = parser.add_subparsers(dest='command', required=True)
    for name, needs in (('imports', 'oe'), ('hardening', 'oe'), ('version', 'e'), ('icon', 'i'),
                        ('resources', 'ei'), ('rejects', 'oei')):
        p = sub.add_parser(name)
        if 'o' in needs:
            p.add_argument('--objdump', required=True)
        if 'e' in needs:
            p.add_argument('exe')
        if 'i' in needs:
            p.add_argument('ico')
    args = parser.parse_args(argv[1:])
    check = {'imports': check_imports, 'hardening': check_hardening, 'version': check_version,
             'icon': check_icon, 'resources': check_resources, 'rejects': check_rejects}[args.command]
    try:
        check(args)
    except CheckFailed as e:
        print("FAILED:", e)
        return 1
    print("ok")
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
