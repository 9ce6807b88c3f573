#!/usr/bin/env python3
"""Draw the pictures of KX47 Logbook (Python 3 standard library only).

Writes into src/app/images/:
  certificate.png  410 x 288, 24-bit colour: the award certificate shown in
                   the main window
  about.png        120 x 120, 24-bit colour: antenna-and-grid logo for the
                   About window
and each of them again at twice the size (certificate@2x.png, about@2x.png)
for screens of twice the density. The program icon is kx47.svg, drawn by hand.

All drawing is done here, pixel by pixel (shapes are drawn at a larger scale
and averaged down for smooth edges); text uses the small block font below.
The output is deterministic.

Usage: python3 tools/make_images.py [output-folder]
"""

import math
import os
import struct
import sys
import zlib

# --------------------------------------------------------------------------
# 5 x 7 block font
# --------------------------------------------------------------------------

FONT = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "J": ["00111", "00010", "00010", "00010", "00010", "10010", "01100"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "10001", "11001", "10101", "10011", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    "X": ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "Z": ["11111", "00001", "00010", "00100", "01000", "10000", "11111"],
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "3": ["11111", "00010", "00100", "00010", "00001", "10001", "01110"],
    "4": ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    "5": ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    "6": ["00110", "01000", "10000", "11110", "10001", "10001", "01110"],
    "7": ["11111", "00001", "00010", "00100", "01000", "01000", "01000"],
    "8": ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
    "9": ["01110", "10001", "10001", "01111", "00001", "00010", "01100"],
    " ": ["00000"] * 7,
    "-": ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    ",": ["00000", "00000", "00000", "00000", "01100", "00100", "01000"],
    ":": ["00000", "01100", "01100", "00000", "01100", "01100", "00000"],
    "/": ["00001", "00001", "00010", "00100", "01000", "10000", "10000"],
    "'": ["00100", "00100", "01000", "00000", "00000", "00000", "00000"],
}


def text_width(text, scale, spacing=1):
    return len(text) * (5 + spacing) * scale - spacing * scale


# --------------------------------------------------------------------------
# Canvas with supersampling
# --------------------------------------------------------------------------

class Canvas:
    """An RGBA float canvas drawn at SS times the final size."""

    def __init__(self, width, height, ss, background, scale=1):
        # Drawn in final-image pixels of the 1x picture; scale 2 makes the picture for screens
        # of twice the density, of the same drawing.
        self.w, self.h, self.ss = width * scale, height * scale, ss
        self.k = ss * scale
        self.W, self.H = self.w * ss, self.h * ss
        r, g, b, a = (list(background) + [255])[:4]
        self.px = [[r, g, b, a] for _ in range(self.W * self.H)]

    # All coordinates below are in final-image pixels (floats allowed).
    def _blend(self, X, Y, colour, alpha=1.0):
        if 0 <= X < self.W and 0 <= Y < self.H:
            p = self.px[Y * self.W + X]
            a = alpha * (colour[3] / 255.0 if len(colour) > 3 else 1.0)
            for i in range(3):
                p[i] = p[i] * (1 - a) + colour[i] * a
            p[3] = p[3] * (1 - a) + 255 * a

    def fill_rect(self, x0, y0, x1, y1, colour):
        s = self.k
        for Y in range(max(0, int(y0 * s)), min(self.H, int(y1 * s))):
            for X in range(max(0, int(x0 * s)), min(self.W, int(x1 * s))):
                self._blend(X, Y, colour)

    def rect_outline(self, x0, y0, x1, y1, t, colour):
        self.fill_rect(x0, y0, x1, y0 + t, colour)
        self.fill_rect(x0, y1 - t, x1, y1, colour)
        self.fill_rect(x0, y0, x0 + t, y1, colour)
        self.fill_rect(x1 - t, y0, x1, y1, colour)

    def fill_fn(self, x0, y0, x1, y1, inside, colour):
        """Fill the pixels in the box whose centre satisfies inside(x, y)."""
        s = self.k
        for Y in range(max(0, int(y0 * s)), min(self.H, int(math.ceil(y1 * s)))):
            for X in range(max(0, int(x0 * s)), min(self.W, int(math.ceil(x1 * s)))):
                if inside((X + 0.5) / s, (Y + 0.5) / s):
                    self._blend(X, Y, colour)

    def disc(self, cx, cy, r, colour):
        self.fill_fn(cx - r, cy - r, cx + r, cy + r,
                     lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour)

    def ring(self, cx, cy, r, t, colour):
        ri = r - t
        self.fill_fn(cx - r, cy - r, cx + r, cy + r,
                     lambda x, y: ri * ri <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r,
                     colour)

    def arc(self, cx, cy, r, t, a0, a1, colour):
        """Ring segment between angles a0..a1 (degrees, 0 = east, clockwise
        because y grows downwards)."""
        ri = r - t

        def inside(x, y):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if not ri * ri <= d <= r * r:
                return False
            ang = math.degrees(math.atan2(y - cy, x - cx)) % 360
            lo, hi = a0 % 360, a1 % 360
            return lo <= ang <= hi if lo <= hi else ang >= lo or ang <= hi
        self.fill_fn(cx - r, cy - r, cx + r, cy + r, inside, colour)

    def line(self, x0, y0, x1, y1, t, colour):
        dx, dy = x1 - x0, y1 - y0
        ln2 = dx * dx + dy * dy or 1e-9
        h = t / 2.0

        def inside(x, y):
            u = ((x - x0) * dx + (y - y0) * dy) / ln2
            u = max(0.0, min(1.0, u))
            px, py = x0 + u * dx, y0 + u * dy
            return (x - px) ** 2 + (y - py) ** 2 <= h * h
        self.fill_fn(min(x0, x1) - h, min(y0, y1) - h,
                     max(x0, x1) + h, max(y0, y1) + h, inside, colour)

    def polygon(self, pts, colour):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]

        def inside(x, y):
            c = False
            j = len(pts) - 1
            for i in range(len(pts)):
                xi, yi = pts[i]
                xj, yj = pts[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    c = not c
                j = i
            return c
        self.fill_fn(min(xs), min(ys), max(xs), max(ys), inside, colour)

    def text(self, x, y, text, scale, colour, spacing=1):
        """Block text; top-left at (x, y), each font dot scale pixels."""
        cx = x
        for ch in text:
            glyph = FONT[ch]
            for gy, row in enumerate(glyph):
                for gx, bit in enumerate(row):
                    if bit == "1":
                        self.fill_rect(cx + gx * scale, y + gy * scale,
                                       cx + (gx + 1) * scale, y + (gy + 1) * scale,
                                       colour)
            cx += (5 + spacing) * scale

    def text_centred(self, cx, y, text, scale, colour, spacing=1):
        self.text(cx - text_width(text, scale, spacing) / 2.0, y, text, scale,
                  colour, spacing)

    def pixels(self):
        """Average the supersamples: rows of (r, g, b, a) bytes."""
        s = self.ss
        n = s * s
        rows = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                acc = [0.0, 0.0, 0.0, 0.0]
                for yy in range(y * s, y * s + s):
                    base = yy * self.W
                    for xx in range(x * s, x * s + s):
                        p = self.px[base + xx]
                        for i in range(4):
                            acc[i] += p[i]
                row.append(tuple(int(round(v / n)) for v in acc))
            rows.append(row)
        return rows


# --------------------------------------------------------------------------
# PNG writer
# --------------------------------------------------------------------------

def write_png(path, rows, alpha):
    height = len(rows)
    width = len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for p in row:
            raw.extend(p[:4] if alpha else p[:3])

    def chunk(tag, data):
        c = struct.pack(">I", len(data)) + tag + data
        return c + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", ihdr))
        f.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        f.write(chunk(b"IEND", b""))


# --------------------------------------------------------------------------
# Pictures
# --------------------------------------------------------------------------

PARCHMENT = (246, 236, 208)
INK = (40, 44, 80)
NAVY = (24, 46, 104)
GOLD = (196, 150, 52)
DARK_GOLD = (150, 108, 30)
RED = (170, 36, 40)
GREEN = (38, 110, 70)
SKY = (70, 130, 200)


def hashed(i, j):
    """Deterministic pseudo-random value in [0, 1) for a grid cell."""
    v = (i * 73856093) ^ (j * 19349663) ^ 0x5A5A
    v = (v * 2654435761) & 0xFFFFFFFF
    return v / 4294967296.0


def certificate(path, scale):
    W, H = 410, 288
    c = Canvas(W, H, 2, PARCHMENT, scale)
    # Soft shading towards the edges of the paper.
    for y in range(0, H):
        for x in range(0, W):
            dx = (x - W / 2) / (W / 2)
            dy = (y - H / 2) / (H / 2)
            d = min(1.0, dx * dx * 0.6 + dy * dy * 0.6)
            c.fill_rect(x, y, x + 1, y + 1, (200, 170, 110, int(70 * d * d)))

    # Borders: outer navy, gold band, inner thin navy, with corner rosettes.
    c.rect_outline(4, 4, W - 4, H - 4, 3, NAVY)
    c.rect_outline(9, 9, W - 9, H - 9, 4, GOLD)
    c.rect_outline(15, 15, W - 15, H - 15, 1, NAVY)
    # Dotted gold band between the borders.
    for x in range(24, W - 20, 8):
        c.disc(x, 11, 0.9, DARK_GOLD)
        c.disc(x, H - 11, 0.9, DARK_GOLD)
    for y in range(24, H - 20, 8):
        c.disc(11, y, 0.9, DARK_GOLD)
        c.disc(W - 11, y, 0.9, DARK_GOLD)
    for (cx, cy) in [(15, 15), (W - 15, 15), (15, H - 15), (W - 15, H - 15)]:
        c.disc(cx, cy, 8, NAVY)
        c.disc(cx, cy, 6, GOLD)
        c.disc(cx, cy, 3, RED)
        for k in range(8):
            a = math.radians(k * 45 + 22.5)
            c.disc(cx + 5 * math.cos(a), cy + 5 * math.sin(a), 1.0, PARCHMENT)

    # Title.
    c.text_centred(W / 2 + 1, 27, "DIPLOMA KX47", 4, (180, 160, 120))
    c.text_centred(W / 2, 26, "DIPLOMA KX47", 4, NAVY)
    c.line(60, 60, W - 60, 60, 1.2, GOLD)
    c.text_centred(W / 2, 65, "OUTSIDE ITALY", 2, RED)
    c.line(60, 82, W - 60, 82, 1.2, GOLD)

    # The square KX47 as 24 x 24 sub-squares, some "worked" and "confirmed".
    gx, gy, cell = 30, 96, 6.5
    size = 24 * cell
    c.fill_rect(gx - 3, gy - 3, gx + size + 3, gy + size + 3, (255, 250, 232))
    # A hint of land and sea inside the square.
    def coast(x, y):
        u = (x - gx) / size
        v = (y - gy) / size
        return u + 0.12 * math.sin(v * 7.0) > 0.62 + 0.15 * v
    c.fill_fn(gx, gy, gx + size, gy + size, coast, (186, 214, 236))
    for i in range(24):
        for j in range(24):
            r = hashed(i, j)
            x0 = gx + i * cell
            y0 = gy + j * cell
            if r < 0.30:
                c.fill_rect(x0 + 0.8, y0 + 0.8, x0 + cell - 0.8, y0 + cell - 0.8,
                            (60, 140, 90, 200))
            elif r < 0.42:
                c.fill_rect(x0 + 0.8, y0 + 0.8, x0 + cell - 0.8, y0 + cell - 0.8,
                            (230, 170, 60, 210))
    for k in range(25):
        t = 1.0 if k % 6 == 0 else 0.35
        col = NAVY if k % 6 == 0 else (120, 120, 150)
        c.fill_rect(gx + k * cell - t / 2, gy, gx + k * cell + t / 2, gy + size, col)
        c.fill_rect(gx, gy + k * cell - t / 2, gx + size, gy + k * cell + t / 2, col)
    c.rect_outline(gx - 1, gy - 1, gx + size + 1, gy + size + 1, 1.2, NAVY)
    c.text(gx, gy + size + 4, "AA", 1, INK)
    c.text(gx + size - 11, gy + size + 4, "XX", 1, INK)

    # Right-hand side: wording and seal.
    tx = 210
    c.text(tx, 100, "THIS IS TO CERTIFY THAT", 1, INK)
    c.fill_rect(tx, 118, tx + 170, 119, (120, 110, 90))
    c.text(tx, 124, "HAS CONTACTED STATIONS IN", 1, INK)
    c.text(tx, 134, "THE SUB-SQUARES OF THE", 1, INK)
    c.text(tx, 144, "MAIDENHEAD SQUARE KX47", 1, INK)
    c.text(tx, 158, "HF 50MHZ VHF UHF SHF SAT", 1, GREEN)

    c.text(tx, 174, "BAND:", 1, INK)
    c.fill_rect(tx + 32, 181, tx + 84, 182, (120, 110, 90))
    c.text(tx + 92, 174, "MODE:", 1, INK)
    c.fill_rect(tx + 124, 181, tx + 176, 182, (120, 110, 90))

    # Seal: gold rosette with ribbons.
    sx, sy = 246, 222
    c.polygon([(sx - 12, sy + 8), (sx - 20, sy + 42), (sx - 12, sy + 36),
               (sx - 6, sy + 44), (sx - 2, sy + 10)], RED)
    c.polygon([(sx + 12, sy + 8), (sx + 20, sy + 42), (sx + 12, sy + 36),
               (sx + 6, sy + 44), (sx + 2, sy + 10)], RED)
    for k in range(24):
        a = math.radians(k * 15)
        c.disc(sx + 22 * math.cos(a), sy + 22 * math.sin(a), 4, DARK_GOLD)
    c.disc(sx, sy, 22, GOLD)
    c.ring(sx, sy, 18, 1.2, DARK_GOLD)
    c.text_centred(sx + 0.5, sy - 10, "KX", 2, NAVY)
    c.text_centred(sx + 0.5, sy + 2, "47", 2, NAVY)

    # Signature line of the award manager.
    c.fill_rect(300, 246, 384, 247, (120, 110, 90))
    c.text(304, 251, "AWARD MANAGER", 1, INK)
    c.line(306, 240, 318, 228, 1.0, NAVY)
    c.line(318, 228, 326, 242, 1.0, NAVY)
    c.line(326, 242, 340, 226, 1.0, NAVY)
    c.line(340, 226, 348, 240, 1.0, NAVY)
    c.line(348, 240, 372, 232, 1.0, NAVY)

    write_png(path, c.pixels(), alpha=False)


def about(path, scale):
    S = 120
    c = Canvas(S, S, 3, (236, 242, 250), scale)
    # Background: a grid of sub-squares fading towards the top.
    for i in range(13):
        p = i * 10
        c.fill_rect(p, 0, p + 0.6, S, (170, 190, 220))
        c.fill_rect(0, p, S, p + 0.6, (170, 190, 220))
    for i in range(12):
        for j in range(12):
            if hashed(i + 3, j + 7) < 0.28 and j > 4:
                c.fill_rect(i * 10 + 1, j * 10 + 1, i * 10 + 10, j * 10 + 10,
                            (90, 160, 110, 150))
    c.fill_fn(0, 0, S, S, lambda x, y: y < 60, (236, 242, 250, 120))
    # Earth / horizon.
    c.fill_fn(0, 84, S, S, lambda x, y: (x - 60) ** 2 + (y - 320) ** 2 <= 236 ** 2,
              (40, 90, 60))
    # Radio waves.
    for r in (16, 24, 32, 40):
        c.arc(60, 34, r, 2.2, 195, 245, (200, 60, 50))
        c.arc(60, 34, r, 2.2, 295, 345, (200, 60, 50))
    # Yagi antenna on a mast.
    c.line(60, 30, 60, 98, 3.0, (50, 54, 70))
    c.line(34, 34, 86, 34, 2.0, (50, 54, 70))
    for k, half in enumerate([16, 13, 11, 9, 7]):
        x = 38 + k * 11
        c.line(x, 34 - half * 0.6, x, 34 + half * 0.6, 1.6, (50, 54, 70))
    c.line(48, 98, 60, 70, 1.5, (50, 54, 70))
    c.line(72, 98, 60, 70, 1.5, (50, 54, 70))
    # Name.
    c.fill_rect(22, 100, 98, 116, (255, 255, 255, 220))
    c.rect_outline(22, 100, 98, 116, 1, NAVY)
    c.text_centred(60, 102, "KX47", 2, NAVY)
    write_png(path, c.pixels(), alpha=False)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        here, "..", "src", "app", "images")
    os.makedirs(out, exist_ok=True)
    # Qt takes the "@2x" picture on screens of twice the density.
    for scale, suffix in ((1, ""), (2, "@2x")):
        certificate(os.path.join(out, "certificate%s.png" % suffix), scale)
        about(os.path.join(out, "about%s.png" % suffix), scale)
    print("images written to", os.path.normpath(out))


if __name__ == "__main__":
    main()
