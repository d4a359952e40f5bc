#!/usr/bin/env python3
"""Draw the pictures shown by the Quindor setup program.

All artwork is drawn here from scratch and written as 16-colour Windows
bitmaps (4 bits per pixel), using only the Python standard library.

Usage:
    python3 tools/make_pictures.py OUTDIR         write both .bmp files
    python3 tools/make_pictures.py --hex NAME     print one picture as hex
    python3 tools/make_pictures.py --png OUTDIR [SCALE]
                                                  write enlarged .png previews

NAME is "setup-picture" or "folder-glyph" (a ".bmp" suffix is accepted).
The hex form is upper case, 64 digits a line, each line indented by six
spaces, ready to be pasted into a page definition file.
"""

import math
import os
import struct
import sys
import zlib

# The sixteen colours, in the usual order of a 16-colour display.
PALETTE = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 dark red
    (0x00, 0x80, 0x00),  # 2 dark green
    (0x80, 0x80, 0x00),  # 3 olive
    (0x00, 0x00, 0x80),  # 4 navy
    (0x80, 0x00, 0x80),  # 5 purple
    (0x00, 0x80, 0x80),  # 6 teal
    (0xC0, 0xC0, 0xC0),  # 7 silver
    (0x80, 0x80, 0x80),  # 8 grey
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 lime
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 fuchsia
    (0x00, 0xFF, 0xFF),  # 14 aqua
    (0xFF, 0xFF, 0xFF),  # 15 white
]

BLACK, DARK_RED, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)

SETUP_W, SETUP_H = 143, 191


# ---------------------------------------------------------------------------
# File formats
# ---------------------------------------------------------------------------

def bmp4_bytes(rows):
    """Encode rows (top-down lists of palette indices) as a 4-bit BMP."""
    height = len(rows)
    width = len(rows[0])
    stride = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):  # BMP rows are stored bottom-up
        assert len(row) == width
        line = bytearray(stride)
        for x, index in enumerate(row):
            assert 0 <= index < 16
            if x % 2 == 0:
                line[x // 2] |= index << 4
            else:
                line[x // 2] |= index
        pixels += line
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0,
                       len(pixels), 2835, 2835, 16, 16)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + palette + bytes(pixels)


def read_bmp4(data):
    """Decode a 4-bit BMP into (rows of indices top-down, palette)."""
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    if magic != b"BM" or size != len(data):
        raise ValueError("not a BMP or wrong size")
    (hsize, width, height, planes, bpp, comp, _, _, _, used,
     _) = struct.unpack_from("<IiiHHIIiiII", data, 14)
    if hsize != 40 or planes != 1 or bpp != 4 or comp != 0 or height <= 0:
        raise ValueError("unsupported BMP")
    count = used or 16
    palette = []
    for i in range(count):
        b, g, r, _ = struct.unpack_from("<BBBB", data, 54 + 4 * i)
        palette.append((r, g, b))
    stride = ((width * 4 + 31) // 32) * 4
    if offset + stride * height != len(data):
        raise ValueError("pixel data has the wrong length")
    rows = []
    for y in range(height):
        start = offset + (height - 1 - y) * stride
        row = []
        for x in range(width):
            byte = data[start + x // 2]
            row.append(byte >> 4 if x % 2 == 0 else byte & 15)
        rows.append(row)
    return rows, palette


def png_bytes(rows, palette, scale=1):
    """Encode indexed rows as an RGB PNG, each pixel enlarged scale times."""
    height = len(rows) * scale
    width = len(rows[0]) * scale
    raw = bytearray()
    for row in rows:
        line = bytearray([0])
        for index in row:
            line += bytes(palette[index]) * scale
        raw += bytes(line) * scale

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


# ---------------------------------------------------------------------------
# Colours on the canvas are "mixes": two palette colours and how many of the
# sixteen cells of a 4x4 ordered-dither tile take the second one.  A solid
# colour is a mix of a colour with itself.
# ---------------------------------------------------------------------------

BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def solid(index):
    return (index, index, 0)


def index_ramp(indices, t):
    """Mix at t (0..1) along a row of palette colours, evenly spaced."""
    t = max(0.0, min(1.0, t)) * (len(indices) - 1)
    i = min(int(t), len(indices) - 2)
    level = int(round((t - i) * 16))
    if level >= 16:
        return solid(indices[i + 1])
    return (indices[i], indices[i + 1], level)


# what each colour turns into in the shade of something
SHADE_OF = {WHITE: GREY, SILVER: GREY, YELLOW: OLIVE, RED: DARK_RED,
            BLUE: NAVY, AQUA: TEAL, LIME: GREEN, FUCHSIA: PURPLE}


def shaded(mix):
    a, b, level = mix
    return (SHADE_OF.get(a, BLACK), SHADE_OF.get(b, BLACK), level)


# ---------------------------------------------------------------------------
# Small geometry helpers; coordinates are pixel centres (x + 0.5, y + 0.5).
# ---------------------------------------------------------------------------

def lerp(a, b, t):
    return a + (b - a) * t


def segment_distance(px, py, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    wx, wy = px - ax, py - ay
    length2 = vx * vx + vy * vy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, (wx * vx + wy * vy) / length2))
    dx, dy = px - (ax + vx * t), py - (ay + vy * t)
    return math.hypot(dx, dy)


def inside_polygon(px, py, pts):
    inside = False
    n = len(pts)
    for i in range(n):
        x1, y1 = pts[i]
        x2, y2 = pts[(i + 1) % n]
        if (y1 > py) != (y2 > py):
            if px < x1 + (py - y1) * (x2 - x1) / (y2 - y1):
                inside = not inside
    return inside


def outlined(inside, fill, outline=BLACK):
    """Shade function: fill(px, py, x, y) inside, a 1-pixel outline around."""
    def shade(px, py, x, y):
        if inside(px, py):
            return fill(px, py, x, y)
        for ox, oy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            if inside(px + ox, py + oy):
                return solid(outline)
        return None
    return shade


class Canvas:
    def __init__(self, width, height):
        self.w, self.h = width, height
        self.cells = [[solid(BLACK)] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.cells[y][x] = solid(colour) if isinstance(colour, int) else colour

    def fill(self, box, shade):
        """shade(px, py, x, y) returns a colour, or None to leave the pixel."""
        x0, y0, x1, y1 = box
        for y in range(max(0, int(y0)), min(self.h, int(math.ceil(y1)) + 1)):
            for x in range(max(0, int(x0)), min(self.w, int(math.ceil(x1)) + 1)):
                c = shade(x + 0.5, y + 0.5, x, y)
                if c is not None:
                    self.put(x, y, c)

    def shadow(self, inside, box, dx, dy):
        """Darken what lies under a shape moved by (dx, dy)."""
        def shade(px, py, x, y):
            if not inside(px - dx, py - dy):
                return None
            return shaded(self.cells[y][x])
        x0, y0, x1, y1 = box
        self.fill((x0 + dx, y0 + dy, x1 + dx, y1 + dy), shade)

    def quantize(self):
        rows = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                a, b, level = self.cells[y][x]
                row.append(b if BAYER4[y % 4][x % 4] < level else a)
            rows.append(row)
        return rows


class Lcg:
    """Tiny fixed random generator, so the pictures never change by accident."""

    def __init__(self, seed):
        self.state = seed

    def next(self, n):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return (self.state >> 8) % n


# ---------------------------------------------------------------------------
# The setup picture
# ---------------------------------------------------------------------------

Q_CX, Q_CY = 71.0, 58.0
Q_RX, Q_RY = 41.0, 43.0   # outer ring
Q_IX, Q_IY = 23.0, 26.0   # hole
Q_TAIL = [(80, 84), (94, 74), (121, 102), (114, 110), (104, 106)]


def draw_sky(cv):
    def shade(px, py, x, y):
        t = py / SETUP_H
        if t < 0.12:
            return index_ramp([BLACK, NAVY], 0.5 + t / 0.24)
        if t < 0.75:
            return index_ramp([NAVY, BLUE], (t - 0.12) / 0.63)
        return index_ramp([BLUE, AQUA], (t - 0.75) / 0.25 * 0.25)
    cv.fill((0, 0, SETUP_W, SETUP_H), shade)

    # a few sparkles in the dark part of the sky
    for sx, sy, big in [(14, 12, True), (124, 20, True), (30, 96, False),
                        (120, 86, False), (8, 52, False), (134, 58, False),
                        (100, 8, False), (46, 6, False)]:
        cv.put(sx, sy, WHITE)
        arm = AQUA if big else SILVER
        for ax, ay in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            cv.put(sx + ax, sy + ay, arm)
        if big:
            for ax, ay in ((2, 0), (-2, 0), (0, 2), (0, -2)):
                cv.put(sx + ax, sy + ay, BLUE)


def q_inside(px, py):
    outer = ((px - Q_CX) / Q_RX) ** 2 + ((py - Q_CY) / Q_RY) ** 2
    hole = ((px - Q_CX) / Q_IX) ** 2 + ((py - Q_CY) / Q_IY) ** 2
    return (outer <= 1.0 and hole > 1.0) or inside_polygon(px, py, Q_TAIL)


def draw_letter_q(cv):
    box = (Q_CX - Q_RX - 2, Q_CY - Q_RY - 2, 124, 114)
    cv.shadow(q_inside, box, 4, 4)

    def gold(px, py, x, y):
        nx, ny = (px - Q_CX) / Q_RX, (py - Q_CY) / Q_RY
        r = math.hypot(nx, ny)
        # light from the upper left
        light = -(nx * 0.6 + ny * 0.8) / max(r, 0.3)
        # rounded ring: the middle of the band catches more light
        ring = (r - Q_IX / Q_RX) / (1 - Q_IX / Q_RX)
        if inside_polygon(px, py, Q_TAIL):
            light, ring = -0.3, 0.5
        bulge = 1 - abs(ring - 0.45) * 1.6
        t = 0.42 + 0.55 * light + 0.25 * bulge
        return index_ramp([OLIVE, YELLOW, YELLOW, WHITE], t * 0.8)
    cv.fill(box, outlined(q_inside, gold))


BOOK_SPINE = 71
BOOK_HALF = 62


def page_top(u):
    return 130 - 13 * math.sin(min(1.0, u * 1.25) * math.pi / 2) + 2 * u


def page_bottom(u):
    return 176 - 7 * math.sin(min(1.0, u * 1.25) * math.pi / 2) + 1 * u


def draw_book(cv):
    # the cover under the pages, a little wider and lower
    cover = [(BOOK_SPINE, 184), (BOOK_SPINE - BOOK_HALF - 4, 176),
             (BOOK_SPINE - BOOK_HALF - 4, 126),
             (BOOK_SPINE + BOOK_HALF + 4, 126),
             (BOOK_SPINE + BOOK_HALF + 4, 176)]
    box = (0, 120, SETUP_W, 186)
    cv.shadow(lambda px, py: inside_polygon(px, py, cover), box, 3, 3)
    cv.fill(box, outlined(lambda px, py: inside_polygon(px, py, cover),
                          lambda px, py, x, y: index_ramp(
                              [RED, DARK_RED, DARK_RED], (py - 150) / 30)))

    rng = Lcg(7)
    for side in (-1, 1):
        # the paper block seen from the side, then the open page on top
        for layer in (3, 0):
            def shade(px, py, x, y, side=side, layer=layer):
                u = (px - BOOK_SPINE) * side / BOOK_HALF
                if u < 0 or u > 1:
                    return None
                top = page_top(u) + layer
                bot = page_bottom(u) + layer
                if py < top or py > bot:
                    return None
                edge = min(py - top, bot - py, (1 - u) * BOOK_HALF)
                if edge < 1:
                    return solid(BLACK)
                if layer:
                    return solid(SILVER if y % 2 else WHITE)
                # the paper dips into shade near the spine
                return index_ramp([GREY, SILVER, WHITE], min(1.0, u * 4.5))
            cv.fill((BOOK_SPINE - BOOK_HALF - 1, 110,
                     BOOK_SPINE + BOOK_HALF + 1, 182), shade)

        # lines of "text" following the curve of the page, read left to right
        left = BOOK_SPINE + (9 if side > 0 else -56)
        right = left + 47
        squiggle = side > 0
        for line in range(9):
            frac = 0.13 + line * 0.09
            x = left + (3 if line in (0, 5) else 0)   # indented first lines
            while x < right:
                end = min(x + 3 + rng.next(8), right)
                # one word on the right page is marked as misspelt
                marked = squiggle and line == 8 and x >= left + 24
                if marked:
                    end = x + 9
                    squiggle = False
                for px in range(x, end):
                    u = (px + 0.5 - BOOK_SPINE) * side / BOOK_HALF
                    yy = int(lerp(page_top(u), page_bottom(u), frac))
                    cv.put(px, yy, BLACK if line == 0 else GREY)
                    if marked:
                        # the wavy red line under the word
                        cv.put(px, yy + 2 - (px % 4 == 1) + (px % 4 == 3), RED)
                x = end + 2
                if line in (4, 8) and x > left + 34:
                    break  # short last line of a paragraph


CHECK = [(62, 135), (73, 126), (86, 140), (122, 94), (134, 103), (88, 162)]


def draw_check(cv):
    def inside(px, py):
        return inside_polygon(px, py, CHECK)
    box = (58, 90, 138, 166)
    cv.shadow(inside, box, 4, 4)

    lower = [(CHECK[4], CHECK[5]), (CHECK[5], CHECK[0])]
    upper = [(CHECK[1], CHECK[2]), (CHECK[2], CHECK[3])]

    def fill(px, py, x, y):
        d_low = min(segment_distance(px, py, *a, *b) for a, b in lower)
        d_up = min(segment_distance(px, py, *a, *b) for a, b in upper)
        if d_low < 3.2:
            return solid(DARK_RED)
        if d_up < 1.7:
            return (RED, WHITE, 6)
        return solid(RED)
    cv.fill(box, outlined(inside, fill))


def draw_quill(cv):
    """A white feather pen resting on the left page, its nib on a line."""
    tip = (48.0, 158.0)
    top = (12.0, 98.0)
    ax, ay = top[0] - tip[0], top[1] - tip[1]
    length = math.hypot(ax, ay)
    ux, uy = ax / length, ay / length      # along the pen, toward the top
    vx, vy = -uy, ux                       # across the pen

    def frame(px, py):
        wx, wy = px - tip[0], py - tip[1]
        return wx * ux + wy * uy, wx * vx + wy * vy

    def inside(px, py):
        s, t = frame(px, py)
        if s < 0 or s > length:
            return False
        if s < 9:                          # the metal nib
            return abs(t) <= 0.5 + s * 0.2
        f = (s - 9) / (length - 9)
        half = max(1.0, 7.5 * math.sin(min(1.0, f * 1.15) * math.pi) ** 0.7)
        if t > 0:
            half *= 0.75                   # one vane is narrower
        return abs(t) <= half

    def fill(px, py, x, y):
        s, t = frame(px, py)
        if s < 9:
            return solid(GREY if t < 0 else SILVER)
        if abs(t) < 0.8:
            return solid(GREY)             # the shaft
        barb = (s + abs(t) * 1.3) % 4.0    # diagonal streaks in the vanes
        if barb < 1.0:
            return solid(SILVER if t < 0 else GREY)
        return solid(WHITE) if t < 0 else (WHITE, SILVER, 8)
    cv.fill((5, 90, 56, 166), outlined(inside, fill))


def setup_picture():
    cv = Canvas(SETUP_W, SETUP_H)
    draw_sky(cv)
    draw_letter_q(cv)
    draw_book(cv)
    draw_check(cv)
    draw_quill(cv)
    return cv.quantize()


# ---------------------------------------------------------------------------
# The folder glyph: normal on the left, greyed on the right
# ---------------------------------------------------------------------------

FOLDER = [
    "................",
    "......KKKKKKK...",
    ".KKKK.KWWWWWK...",
    "KYYYYKKWsssWK...",
    "KYYYYYKWWWWWK...",
    "KYYYYYKWsssWK...",
    "KYOOOOKWWWWWK...",
    "KYOKKKKKKKKKKKKK",
    "KYOKYYYYYYYYYYOK",
    "KYKYYYYYYYYYYOK.",
    "KYKYYYYYYYYYYOK.",
    "KKYYYYYYYYYYOK..",
    "KKYYYYYYYYYYOK..",
    "KOOOOOOOOOOOK...",
    "KKKKKKKKKKKKK...",
    "................",
]

FOLDER_COLOURS = {".": TEAL, "K": BLACK, "Y": YELLOW, "O": OLIVE,
                  "W": WHITE, "s": SILVER}
GREYED = {TEAL: TEAL, BLACK: GREY, YELLOW: SILVER, OLIVE: GREY,
          WHITE: WHITE, SILVER: SILVER}


def folder_glyph():
    rows = []
    for line in FOLDER:
        assert len(line) == 16
        normal = [FOLDER_COLOURS[ch] for ch in line]
        rows.append(normal + [GREYED[i] for i in normal])
    assert len(rows) == 16
    return rows


# ---------------------------------------------------------------------------

PICTURES = {
    "setup-picture": setup_picture,
    "folder-glyph": folder_glyph,
}


def picture_bytes(name):
    if name.endswith(".bmp"):
        name = name[:-4]
    if name not in PICTURES:
        raise SystemExit("unknown picture %r (known: %s)"
                         % (name, ", ".join(sorted(PICTURES))))
    return bmp4_bytes(PICTURES[name]())


def hex_lines(data, indent=6, per_line=64):
    text = data.hex().upper()
    return [" " * indent + text[i:i + per_line]
            for i in range(0, len(text), per_line)]


def main(argv):
    if len(argv) == 2 and argv[0] == "--hex":
        print("\n".join(hex_lines(picture_bytes(argv[1]))))
        return 0
    if len(argv) in (2, 3) and argv[0] == "--png":
        outdir = argv[1]
        scale = int(argv[2]) if len(argv) == 3 else 4
        os.makedirs(outdir, exist_ok=True)
        for name in sorted(PICTURES):
            rows, palette = read_bmp4(picture_bytes(name))
            with open(os.path.join(outdir, name + ".png"), "wb") as f:
                f.write(png_bytes(rows, palette, scale))
        return 0
    if len(argv) == 1 and not argv[0].startswith("-"):
        os.makedirs(argv[0], exist_ok=True)
        for name in sorted(PICTURES):
            with open(os.path.join(argv[0], name + ".bmp"), "wb") as f:
                f.write(picture_bytes(name))
        return 0
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
