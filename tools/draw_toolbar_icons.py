#!/usr/bin/env python3
"""Draws the ten toolbar button pictures as 24-bit BMP files: NAME.bmp at 20 x 20 pixels and
NAME@2x.bmp at 40 x 40 for screens scaled by two.

Usage: draw_toolbar_icons.py OUTPUT_FOLDER

Magenta (the bottom-left pixel of every picture) is the see-through colour. Turn the results into
the text picture form with text_picture_tool; the texts in data/toolbar/ were made that way.
"""
import math
import os
import struct
import sys

W = H = 20
CLEAR = (255, 0, 255)
INK = (64, 64, 64)
WHITE = (255, 255, 255)
PAPER_SHADE = (214, 214, 214)
FOLD = (190, 190, 190)
BLUE = (42, 111, 214)
DARK_BLUE = (27, 74, 153)
LIGHT_BLUE = (156, 195, 245)
YELLOW = (246, 204, 82)
DARK_YELLOW = (201, 150, 42)
RED = (214, 58, 58)
DARK_RED = (150, 30, 30)
STEEL = (150, 160, 172)
LIGHT_STEEL = (214, 220, 228)
BROWN = (170, 112, 62)
DARK_BROWN = (110, 70, 36)
ORANGE = (244, 150, 40)
PINK = (240, 170, 170)


class Picture:
    """A button picture drawn in the coordinates of the 20 x 20 grid at SCALE device pixels per
    grid pixel, so that the double-size picture has finer curves and diagonals, not blocks."""

    def __init__(self, scale=1):
        self.scale = scale
        self.size = W * scale
        self.px = [[CLEAR] * self.size for _ in range(self.size)]

    def _dot(self, x, y, c):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = c

    def _grid(self, device):
        """The grid coordinate of a device pixel's centre."""
        return (device + 0.5) / self.scale - 0.5

    def put(self, x, y, c):
        self.fill(x, y, x, y, c)

    def fill(self, x0, y0, x1, y1, c):
        s = self.scale
        for y in range(y0 * s, (y1 + 1) * s):
            for x in range(x0 * s, (x1 + 1) * s):
                self._dot(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.put(x, y0, c)
            self.put(x, y1, c)
        for y in range(y0, y1 + 1):
            self.put(x0, y, c)
            self.put(x1, y, c)

    def box(self, x0, y0, x1, y1, inside, edge=INK):
        self.fill(x0, y0, x1, y1, inside)
        self.frame(x0, y0, x1, y1, edge)

    def line(self, x0, y0, x1, y1, c, width=1, hairline=False):
        """A line through the grid pixels' centres; a hairline is one device pixel wide."""
        s = self.scale
        thickness = 1 if hairline else width * s
        steps = max(abs(x1 - x0), abs(y1 - y0), 1) * s
        for i in range(steps + 1):
            # The device pixel under the point, then the square of the line's thickness there.
            x = (x0 + (x1 - x0) * i / steps + 0.5) * s - 0.5
            y = (y0 + (y1 - y0) * i / steps + 0.5) * s - 0.5
            left = math.floor(x + 0.5) - thickness // 2
            top = math.floor(y + 0.5) - thickness // 2
            for dx in range(thickness):
                for dy in range(thickness):
                    self._dot(left + dx, top + dy, c)

    def disc(self, cx, cy, r, c):
        self.ring(cx, cy, -1, r, c)

    def ring(self, cx, cy, r_in, r_out, c, keep=lambda x, y: True):
        s = self.scale
        for y in range(self.size):
            for x in range(self.size):
                d2 = (self._grid(x) - cx) ** 2 + (self._grid(y) - cy) ** 2
                inside = d2 <= r_out * r_out and (r_in < 0 or d2 >= r_in * r_in)
                if inside and keep(x // s, y // s):
                    self._dot(x, y, c)

    def polygon(self, points, c):
        """Fills the polygon whose corners are given in grid pixel edges."""
        s = self.scale
        corners = [(x * s, y * s) for x, y in points]
        for y in range(self.size):
            yc = y + 0.5
            xs = []
            for (xa, ya), (xb, yb) in zip(corners, corners[1:] + corners[:1]):
                if (ya <= yc < yb) or (yb <= yc < ya):
                    xs.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(math.ceil(a - 0.5), math.floor(b - 0.5) + 1):
                    self._dot(x, y, c)

    def save_bmp(self, path):
        side = self.size
        stride = (side * 3 + 3) & ~3
        rows = b""
        for y in range(side - 1, -1, -1):
            row = b"".join(bytes((b, g, r)) for (r, g, b) in self.px[y])
            rows += row + b"\0" * (stride - side * 3)
        header = b"BM" + struct.pack("<IHHI", 54 + len(rows), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, side, side, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
        with open(path, "wb") as f:
            f.write(header + info + rows)


def page(p, x0, y0, x1, y1, corner=4, lines=True):
    """A sheet of paper with a folded top-right corner."""
    p.polygon([(x0, y0), (x1 - corner + 1, y0), (x1 + 1, y0 + corner), (x1 + 1, y1 + 1),
               (x0, y1 + 1)], WHITE)
    p.line(x0, y0, x1 - corner, y0, INK)
    p.line(x0, y0, x0, y1, INK)
    p.line(x0, y1, x1, y1, INK)
    p.line(x1, y0 + corner, x1, y1, INK)
    p.line(x1 - corner, y0, x1, y0 + corner, INK)
    p.polygon([(x1 - corner, y0 + 1), (x1 - corner, y0 + corner), (x1, y0 + corner)], FOLD)
    p.line(x1 - corner, y0, x1 - corner, y0 + corner, INK)
    p.line(x1 - corner, y0 + corner, x1, y0 + corner, INK)
    if lines:
        for y in range(y0 + corner + 3, y1 - 1, 2):
            p.line(x0 + 2, y, x1 - 2, y, PAPER_SHADE, hairline=True)


def draw_new(scale):
    p = Picture(scale)
    page(p, 3, 1, 16, 18, corner=5)
    return p


def draw_open(scale):
    p = Picture(scale)
    p.polygon([(1, 3), (7, 3), (9, 5), (16, 5), (16, 16), (1, 16)], DARK_YELLOW)
    p.line(1, 3, 7, 3, INK)
    p.line(7, 3, 9, 5, INK)
    p.line(9, 5, 16, 5, INK)
    p.line(16, 5, 16, 8, INK)
    p.line(1, 3, 1, 16, INK)
    p.polygon([(5, 8), (19, 8), (16, 17), (1, 17)], YELLOW)
    p.line(5, 8, 19, 8, INK)
    p.line(19, 8, 16, 17, INK)
    p.line(1, 17, 16, 17, INK)
    p.line(1, 17, 5, 8, INK)
    return p


def draw_save_as(scale):
    p = Picture(scale)
    p.box(1, 1, 15, 15, BLUE)
    p.fill(2, 12, 14, 14, DARK_BLUE)
    p.box(4, 1, 12, 6, WHITE)
    p.line(6, 3, 10, 3, PAPER_SHADE, hairline=True)
    p.box(5, 10, 11, 15, LIGHT_STEEL)
    p.fill(9, 11, 10, 14, STEEL)
    # A pencil across the corner.
    p.line(18, 9, 11, 16, ORANGE, width=3)
    p.line(17, 8, 10, 15, INK)
    p.line(19, 10, 12, 17, INK)
    p.line(19, 10, 17, 8, INK)
    p.fill(9, 17, 10, 18, INK)
    p.put(8, 18, INK)
    p.put(18, 8, PINK)
    p.put(19, 9, PINK)
    return p


def draw_undo(scale):
    p = Picture(scale)
    p.ring(10, 11, 4, 7, BLUE, keep=lambda x, y: y <= 11 or x >= 10)
    p.ring(10, 11, 7, 7.9, DARK_BLUE, keep=lambda x, y: y <= 11 or x >= 10)
    p.polygon([(0, 11), (8, 11), (4, 16)], BLUE)
    p.line(0, 11, 4, 16, DARK_BLUE)
    p.line(8, 11, 4, 16, DARK_BLUE)
    return p


def draw_cut(scale):
    p = Picture(scale)
    p.line(6, 1, 12, 12, STEEL, width=2)
    p.line(13, 1, 7, 12, LIGHT_STEEL, width=2)
    p.line(5, 1, 11, 12, INK)
    p.line(14, 1, 8, 12, INK)
    p.put(9, 8, INK)
    p.ring(6, 15, 1.6, 3.4, RED)
    p.ring(13, 15, 1.6, 3.4, RED)
    p.ring(6, 15, 3.4, 3.9, DARK_RED)
    p.ring(13, 15, 3.4, 3.9, DARK_RED)
    return p


def draw_copy(scale):
    p = Picture(scale)
    page(p, 1, 1, 11, 14, corner=3)
    page(p, 7, 5, 17, 18, corner=3)
    return p


def draw_copy_all(scale):
    p = Picture(scale)
    # Three cells side by side behind a copied page: the whole animation.
    for i, x in enumerate((1, 7, 13)):
        p.box(x, 1, x + 5, 7, LIGHT_BLUE, DARK_BLUE)
        p.disc(x + 2.5, 4, 1.2 + 0.3 * i, BLUE)
    page(p, 5, 8, 15, 19, corner=3)
    return p


def draw_paste(scale):
    p = Picture(scale)
    p.box(2, 2, 15, 18, BROWN, DARK_BROWN)
    p.box(6, 0, 11, 3, LIGHT_STEEL, INK)
    page(p, 7, 6, 18, 19, corner=3)
    return p


def draw_pause(scale):
    p = Picture(scale)
    p.box(4, 3, 8, 16, BLUE, DARK_BLUE)
    p.box(11, 3, 15, 16, BLUE, DARK_BLUE)
    return p


def draw_help(scale):
    p = Picture(scale)
    p.disc(9.5, 9.5, 9, DARK_BLUE)
    p.disc(9.5, 9.5, 8, BLUE)
    for x, y in [(7, 5), (8, 4), (9, 4), (10, 4), (11, 4), (12, 5), (12, 6), (12, 7), (11, 8),
                 (10, 9), (9, 10), (9, 11)]:
        p.fill(x, y, x + 1, y + 1, WHITE)
    p.fill(9, 14, 10, 15, WHITE)
    return p


ICONS = [("new", draw_new), ("open", draw_open), ("save_as", draw_save_as), ("undo", draw_undo),
         ("cut", draw_cut), ("copy", draw_copy), ("copy_all", draw_copy_all),
         ("paste", draw_paste), ("pause", draw_pause), ("help", draw_help)]

if __name__ == "__main__":
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, draw in ICONS:
        for scale, suffix in ((1, ""), (2, "@2x")):
            picture = draw(scale)
            picture.put(0, H - 1, CLEAR)  # the see-through colour, read from this corner
            picture.save_bmp(os.path.join(folder, name + suffix + ".bmp"))
