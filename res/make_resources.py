#!/usr/bin/env python3
"""Draws the pictures of kestrovan99.exe into a folder (the cross build runs it).

    make_resources.py OUTDIR

writes
    kestrovan99.ico     the program icon: 16, 32 and 48 pixels, each in 16 colours (4-bit) and in
                        256 colours (8-bit), with transparency masks
    options_banner_P.bmp  24-bit banner of the drive selection window at P percent: 291 x 50 at
                          100, 364 x 63 at 125, 437 x 75 at 150 and 582 x 100 at 200
    about_banner_P.bmp    the same for the about window

The picture is a disk drawn as a pie: a green slice of free space and a grey rest around a dark
spindle, on a dark blue rounded tile. Everything is computed here, with the standard library only,
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


# Colours of the materials in the 256-colour pictures and the banners (r, g, b); the ground runs
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


def bmp24(width, height, pixels):
    """pixels: rows top-down of (r, g, b) ints -> the bytes of a 24-bit .bmp file."""
    stride = _row_bytes(width * 24)
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return head + info + bytes(data)


# ---------------------------------------------------------------------------------------------
# A small pixel font: 5 rows wide at most, 7 rows high; '#' is ink.

GLYPHS = {
    'A': [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    'B': ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    'C': [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    'D': ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    'E': ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    'F': ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    'G': [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"],
    'H': ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    'I': ["###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    'J': ["..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."],
    'K': ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    'L': ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    'M': ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    'N': ["#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"],
    'O': [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    'P': ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    'Q': [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    'R': ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    'S': [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    'T': ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    'U': ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    'V': ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    'W': ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."],
    'X': ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    'Y': ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    'Z': ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
    '0': [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    '1': ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    '2': [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    '3': ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    '4': ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    '5': ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    '6': [".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."],
    '7': ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    '8': [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    '9': [".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."],
    "'": ["#", "#", "#", ".", ".", ".", "."],
    '.': [".", ".", ".", ".", ".", ".", "#"],
    '-': ["....", "....", "....", "####", "....", "....", "...."],
    ' ': ["...", "...", "...", "...", "...", "...", "..."],
}


def fill_rect(canvas, left, top, right, bottom, colour, alpha=1.0):
    """Blends the colour into each pixel by the part of it the rectangle covers (its edges in
    pixels, not necessarily whole ones): edges on whole pixels stay sharp."""
    for y in range(max(0, int(top)), min(len(canvas), math.ceil(bottom))):
        cover_y = min(bottom, y + 1) - max(top, y)
        for x in range(max(0, int(left)), min(len(canvas[0]), math.ceil(right))):
            cover = cover_y * (min(right, x + 1) - max(left, x)) * alpha
            if cover > 0:
                canvas[y][x] = _mix(canvas[y][x], colour, cover)


def draw_text(canvas, text, left, top, cell, colour, shadow=None, offset=0):
    """The pixel font with square cells of `cell` pixels; the shadow `offset` pixels down and right."""
    if shadow is not None:
        draw_text(canvas, text, left + offset, top + offset, cell, shadow)
    x = left
    for ch in text:
        glyph = GLYPHS[ch]
        for gy, line in enumerate(glyph):
            for gx, ink in enumerate(line):
                if ink == '#':
                    fill_rect(canvas, x + gx * cell, top + gy * cell, x + (gx + 1) * cell, top + (gy + 1) * cell,
                              colour)
        x += (len(glyph[0]) + 1) * cell


# ---------------------------------------------------------------------------------------------
# Banners, designed in pixels at 100 percent and drawn at each size (not scaled from one).

BANNER_W, BANNER_H = 291, 50
BANNER_PERCENTS = (100, 125, 150, 200)


def scaled(length, percent):
    """A length at another size, rounded half up as the program's MulDiv rounds it."""
    return (length * percent + 50) // 100


def banner(percent, left_colour, right_colour, accent, subtitle):
    s = percent / 100
    width, height = scaled(BANNER_W, percent), scaled(BANNER_H, percent)
    canvas = []
    for y in range(height):
        row = []
        for x in range(width):
            t = x / (width - 1)
            shade = 1.0 - 0.25 * (y / (height - 1))
            row.append(tuple(c * shade for c in _mix(left_colour, right_colour, t)))
        canvas.append(row)
    # The disk picture, anti-aliased over the ground.
    size, ox, oy = scaled(42, percent), scaled(6, percent), scaled(4, percent)
    disk = render_true(size, disk_material, grid=4)
    for y in range(size):
        for x in range(size):
            r, g, b, a = disk[y][x]
            canvas[oy + y][ox + x] = _mix(canvas[oy + y][ox + x], (r, g, b), a)
    # A thin accent line under the lettering, fading to the right.
    for x in range(scaled(56, percent), scaled(BANNER_W - 8, percent)):
        fade = 1.0 - ((x + 0.5) / s - 0.5 - 56) / (BANNER_W - 64)
        fill_rect(canvas, x, 34 * s, x + 1, 35 * s, accent, 0.85 * fade)
    canvas = [[tuple(float(round(min(max(c, 0), 255))) for c in px) for px in row] for row in canvas]
    draw_text(canvas, "KESTROVAN '99", 58 * s, 6 * s, 3 * s, (0xf2, 0xf4, 0xf8), shadow=(0x05, 0x07, 0x0c), offset=s)
    draw_text(canvas, subtitle, 58 * s, 39 * s, s, accent)
    pixels = [[tuple(int(round(c)) for c in px) for px in row] for row in canvas]
    return bmp24(width, height, pixels)


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
    for percent in BANNER_PERCENTS:
        files[f'options_banner_{percent}.bmp'] = banner(percent, (0x1c, 0x2c, 0x58), (0x06, 0x09, 0x14),
                                                        (0x7c, 0xc4, 0xff), "CHOOSE UP TO SIX DRIVES")
        files[f'about_banner_{percent}.bmp'] = banner(percent, (0x12, 0x3a, 0x2a), (0x05, 0x0c, 0x0a),
                                                      (0x5c, 0xe0, 0x8c), "SHOWS FREE DISK SPACE")
    for name, data in files.items():
        path = os.path.join(out, name)
        with open(path + '.tmp', 'wb') as f:
            f.write(data)
        os.replace(path + '.tmp', path)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
