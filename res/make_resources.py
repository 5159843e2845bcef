#!/usr/bin/env python3
"""Draws the pictures of kestrovan99.exe into a folder (the cross build runs it).

    make_resources.py OUTDIR

writes
    kestrovan99.ico     the program icon: 16, 32 and 48 pixels, each in 16 colours (4-bit) and in
                        256 colours (8-bit), with transparency masks

The picture is a disk drawn as a pie: a green slice of free space and a grey rest around a dark
spindle, on a dark blue rounded tile (the banners of Options and About show the same disk, drawn by
the program at the window's size). Everything is computed here, with the standard library only,
and the output is the same bytes on every run.
"""

import math
import os
import struct
import sys

# ---------------------------------------------------------------------------------------------
# The picture, as materials over the unit square (u to the right, v downwards).

CLEAR, GROUND, RIM, USED, FREE, HUB = range(6)

FREE_SHARE = 0.62          # the slice of free space, as a part of the disk
DISK_CENTRE = (0.5, 0.5)
DISK_RADIUS = 0.35
HUB_RADIUS = 0.085
TILE_INSET = 0.03
TILE_CORNER = 0.2
RIM_WIDTH = 0.065


def _inside_rounded_square(u, v, inset, corner):
    lo, hi = inset, 1.0 - inset
    if u < lo or u > hi or v < lo or v > hi:
        return False
    cu = min(max(u, lo + corner), hi - corner)
    cv = min(max(v, lo + corner), hi - corner)
    return (u - cu) ** 2 + (v - cv) ** 2 <= corner ** 2


def disk_material(u, v):
    """The disk alone (CLEAR around it): a pie of free and used space with a spindle."""
    du, dv = u - DISK_CENTRE[0], v - DISK_CENTRE[1]
    r = math.hypot(du, dv)
    if r > DISK_RADIUS:
        return CLEAR
    if r <= HUB_RADIUS:
        return HUB
    # Angle clockwise from twelve o'clock, 0..1 of a turn.
    turn = (math.atan2(du, -dv) / (2 * math.pi)) % 1.0
    return FREE if turn < FREE_SHARE else USED


def icon_material(u, v):
    if not _inside_rounded_square(u, v, TILE_INSET, TILE_CORNER):
        return CLEAR
    disk = disk_material(u, v)
    if disk != CLEAR:
        return disk
    if not _inside_rounded_square(u, v, TILE_INSET + RIM_WIDTH, TILE_CORNER - RIM_WIDTH):
        return RIM
    return GROUND


# Colours of the materials in the 256-colour pictures (r, g, b); the ground runs
# from its top colour to its bottom colour.
GROUND_TOP = (0x2a, 0x3b, 0x66)
GROUND_BOTTOM = (0x10, 0x18, 0x2e)
TRUE_COLOURS = {
    RIM: (0x5c, 0x70, 0x9a),
    USED: (0x9c, 0xa6, 0xb4),
    FREE: (0x34, 0xd8, 0x6c),
    HUB: (0x14, 0x1a, 0x24),
}

# The sixteen colours of the standard 4-bit palette, in their usual order.
VGA16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xc0, 0xc0, 0xc0),
    (0x80, 0x80, 0x80), (0xff, 0x00, 0x00), (0x00, 0xff, 0x00), (0xff, 0xff, 0x00),
    (0x00, 0x00, 0xff), (0xff, 0x00, 0xff), (0x00, 0xff, 0xff), (0xff, 0xff, 0xff),
]
# Palette index of each material in the 16-colour pictures.
VGA_INDEX = {CLEAR: 0, GROUND: 4, RIM: 8, USED: 7, FREE: 10, HUB: 0}


def _mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def material_colour(material, v):
    if material == GROUND:
        return _mix(GROUND_TOP, GROUND_BOTTOM, min(max(v, 0.0), 1.0))
    return TRUE_COLOURS[material]


def _samples(n):
    return [(i + 0.5) / n for i in range(n)]


def render_true(size, material_of, grid=4):
    """Anti-aliased picture: rows of (r, g, b, coverage) with coverage 0..1."""
    rows = []
    offsets = _samples(grid)
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for oy in offsets:
                for ox in offsets:
                    u, v = (x + ox) / size, (y + oy) / size
                    m = material_of(u, v)
                    if m == CLEAR:
                        continue
                    c = material_colour(m, v)
                    acc[0] += c[0]
                    acc[1] += c[1]
                    acc[2] += c[2]
                    hits += 1
            if hits:
                row.append((acc[0] / hits, acc[1] / hits, acc[2] / hits, hits / grid ** 2))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        rows.append(row)
    return rows


def render_vga(size, material_of, grid=5):
    """Crisp 16-colour picture: rows of (palette index, opaque); each pixel takes the material
    that covers most of it."""
    rows = []
    offsets = _samples(grid)
    for y in range(size):
        row = []
        for x in range(size):
            counts = {}
            for oy in offsets:
                for ox in offsets:
                    m = material_of((x + ox) / size, (y + oy) / size)
                    counts[m] = counts.get(m, 0) + 1
            # Ties go to the material drawn on top (the higher number).
            m = max(counts, key=lambda k: (counts[k], k))
            row.append((VGA_INDEX[m], m != CLEAR))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------------------------
# 256-colour palettes by median cut.

def median_cut(colours, limit):
    """At most `limit` representative colours for a list of (r, g, b) tuples of ints."""
    boxes = [sorted(set(colours))]
    while len(boxes) < limit:
        # Split the box with the widest channel range.
        best, best_range, best_channel = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                span = max(c[ch] for c in box) - min(c[ch] for c in box)
                if span > best_range:
                    best, best_range, best_channel = i, span, ch
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda c: c[best_channel])
        half = len(box) // 2
        boxes += [box[:half], box[half:]]
    return [tuple(round(sum(c[ch] for c in box) / len(box)) for ch in range(3)) for box in boxes]


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((p - c) ** 2 for p, c in zip(palette[i], colour)))


def to_indexed_256(picture):
    """(palette of 256, rows of (index, opaque)) for an anti-aliased picture."""
    opaque = [[(tuple(int(round(ch)) for ch in px[:3]), px[3] >= 0.5) for px in row] for row in picture]
    used = [c for row in opaque for c, o in row if o]
    palette = [(0, 0, 0)] + median_cut(used, 255)
    palette += [(0, 0, 0)] * (256 - len(palette))
    cache = {}
    rows = []
    for row in opaque:
        out = []
        for c, o in row:
            if not o:
                out.append((0, False))
                continue
            if c not in cache:
                cache[c] = 1 + nearest(palette[1:], c)
            out.append((cache[c], True))
        rows.append(out)
    return palette, rows


# ---------------------------------------------------------------------------------------------
# File formats.

def _row_bytes(bits):
    return (bits + 31) // 32 * 4


def icon_image(size, bits, palette, rows):
    """One icon image: a BITMAPINFOHEADER of double height, the palette, the colour bits and the
    AND mask (1 where the picture is transparent), both bottom-up."""
    xor_stride, and_stride = _row_bytes(size * bits), _row_bytes(size)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(xor_stride)
        mline = bytearray(and_stride)
        for x, (index, opaque) in enumerate(row):
            if bits == 8:
                line[x] = index if opaque else 0
            else:
                line[x // 2] |= (index if opaque else 0) << (4 if x % 2 == 0 else 0)
            if not opaque:
                mline[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += mline
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    assert len(palette) == 1 << bits
    return header + pal + bytes(xor) + bytes(mask)


def icon_file(images):
    """images: list of (size, bits, image bytes) -> the bytes of an .ico file."""
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b'', b''
    for size, bits, blob in images:
        colours = 1 << bits if bits < 8 else 0
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, colours, 0, 1, bits, len(blob),
                               offset)
        offset += len(blob)
        blobs += blob
    return directory + entries + blobs


# ---------------------------------------------------------------------------------------------

def program_icon():
    images = []
    for bits in (4, 8):
        for size in (16, 32, 48):
            if bits == 4:
                rows = render_vga(size, icon_material)
                images.append((size, 4, icon_image(size, 4, VGA16, rows)))
            else:
                palette, rows = to_indexed_256(render_true(size, icon_material))
                images.append((size, 8, icon_image(size, 8, palette, rows)))
    return icon_file(images)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_resources.py OUTDIR\n")
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    files = {'kestrovan99.ico': program_icon()}
    for name, data in files.items():
        path = os.path.join(out, name)
        with open(path + '.tmp', 'wb') as f:
            f.write(data)
        os.replace(path + '.tmp', path)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
