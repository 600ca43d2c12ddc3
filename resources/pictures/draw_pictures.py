#!/usr/bin/python3
"""Draws the eight 48 x 48 button pictures and writes them as baseline JPEGs.

Run with Debian's Python (python3-pil):  /usr/bin/python3 draw_pictures.py
Each picture is drawn at four times its size and scaled down, which gives
smooth edges. Coordinates below are in final pixels (0..48).

Every stream is written by libjpeg through PIL: JFIF 1.01 (aspect 1:1, no
thumbnail), baseline, Y Cb Cr at 4:2:0, standard Huffman tables. The build
embeds the .jpg files as they are, so rerun this only to change a picture.
"""

import math
import os
import sys

from PIL import Image, ImageDraw

SIZE = 48
SCALE = 4
# Luminance at quality 85, chrominance at 95: colour edges ring less into the
# grey corners, where the chroma of a 16 x 16 block is shared with the motif.
LUMA_QUALITY = 85
CHROMA_QUALITY = 95
BACKGROUND = (127, 127, 127)

OUTLINE = (40, 40, 40)
CARD_FRONT = (236, 196, 72)
CARD_SIDE = (204, 160, 48)
CARD_INSIDE = (130, 92, 28)
CARD_FLAP = (248, 214, 110)
CARD_EDGE = (96, 64, 16)
GREEN = (40, 180, 50)
GREEN_DARK = (10, 90, 20)
BLUE = (40, 90, 220)
BLUE_DARK = (16, 40, 130)
BLUE_LIGHT = (150, 190, 250)
YELLOW = (250, 210, 20)
YELLOW_DARK = (160, 120, 0)
WHITE = (252, 252, 252)
PAPER_EDGE = (90, 90, 90)
CHROME_DARK = (70, 74, 80)
CHROME = (180, 186, 194)
CHROME_LIGHT = (240, 244, 248)


class Canvas:
    """A 4x drawing surface addressed in final pixels."""

    def __init__(self):
        self.image = Image.new("RGB", (SIZE * SCALE, SIZE * SCALE), BACKGROUND)
        self.draw = ImageDraw.Draw(self.image)

    @staticmethod
    def _pts(points):
        return [(x * SCALE, y * SCALE) for x, y in points]

    def polygon(self, points, fill, outline=OUTLINE, width=1.0):
        pts = self._pts(points)
        self.draw.polygon(pts, fill=fill)
        if outline is not None:
            self.draw.line(pts + [pts[0]], fill=outline, width=round(width * SCALE), joint="curve")

    def line(self, points, colour, width=1.0):
        self.draw.line(self._pts(points), fill=colour, width=round(width * SCALE), joint="curve")

    def ellipse(self, cx, cy, rx, ry, fill, outline=OUTLINE, width=1.0):
        box = [(cx - rx) * SCALE, (cy - ry) * SCALE, (cx + rx) * SCALE, (cy + ry) * SCALE]
        self.draw.ellipse(box, fill=fill, outline=outline,
                          width=round(width * SCALE) if outline is not None else 0)

    def rect(self, x0, y0, x1, y1, fill, outline=OUTLINE, width=1.0, radius=0.0):
        box = [x0 * SCALE, y0 * SCALE, x1 * SCALE, y1 * SCALE]
        self.draw.rounded_rectangle(box, radius=radius * SCALE, fill=fill, outline=outline,
                                    width=round(width * SCALE) if outline is not None else 0)

    def finish(self):
        return self.image.resize((SIZE, SIZE), Image.LANCZOS)


def rotated(points, cx, cy, degrees):
    a = math.radians(degrees)
    c, s = math.cos(a), math.sin(a)
    return [(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c)
            for x, y in points]


# --- shared motifs -----------------------------------------------------------

def open_box(c, dy=0.0):
    """A cardboard box seen from the front left, its four flaps folded open."""
    def p(points):
        return [(x, y + dy) for x, y in points]
    # inside back wall and floor, seen through the opening
    c.polygon(p([(7, 22), (29, 22), (40, 17), (18, 17)]), CARD_INSIDE)
    # back flaps, folded outwards
    c.polygon(p([(18, 17), (40, 17), (43, 9), (22, 10)]), CARD_FLAP)
    c.polygon(p([(29, 22), (40, 17), (46, 22), (36, 27)]), CARD_SIDE)
    # front face and right side
    c.polygon(p([(7, 22), (29, 22), (29, 43), (7, 43)]), CARD_FRONT)
    c.polygon(p([(29, 22), (40, 17), (40, 37), (29, 43)]), CARD_SIDE)
    # front flaps hanging forwards
    c.polygon(p([(7, 22), (29, 22), (25, 29), (3, 29)]), CARD_FLAP)
    c.polygon(p([(7, 22), (18, 17), (11, 13), (2, 18)]), CARD_FLAP)
    # tape stripe and a seam, so it reads as cardboard
    c.line(p([(18, 30.5), (18, 42)]), CARD_EDGE, 1.0)


def magnifier(c, cx, cy, r, lens=True):
    """A round glass with a dark rim and a yellow handle to the lower right."""
    a = math.radians(45)
    hx0, hy0 = cx + r * math.cos(a), cy + r * math.sin(a)
    length, half = 16.0, 2.6
    dx, dy = math.cos(a), math.sin(a)
    nx, ny = -dy, dx
    # neck between rim and handle
    neck = [(hx0 + nx * 1.4, hy0 + ny * 1.4), (hx0 + dx * 4 + nx * 1.4, hy0 + dy * 4 + ny * 1.4),
            (hx0 + dx * 4 - nx * 1.4, hy0 + dy * 4 - ny * 1.4), (hx0 - nx * 1.4, hy0 - ny * 1.4)]
    c.polygon(neck, CHROME_DARK)
    sx, sy = hx0 + dx * 4, hy0 + dy * 4
    ex, ey = sx + dx * length, sy + dy * length
    handle = [(sx + nx * half, sy + ny * half), (ex + nx * half, ey + ny * half),
              (ex - nx * half, ey - ny * half), (sx - nx * half, sy - ny * half)]
    c.polygon(handle, YELLOW, outline=YELLOW_DARK, width=1.0)
    c.ellipse(ex, ey, half, half, YELLOW, outline=YELLOW_DARK)
    c.line([(sx + nx * 1.0 + dx, sy + ny * 1.0 + dy), (ex + nx * 1.0 - dx, ey + ny * 1.0 - dy)],
           (255, 240, 150), 0.8)
    # rim and glass
    c.ellipse(cx, cy, r, r, None, outline=CHROME_DARK, width=2.6)
    if lens:
        c.line([(cx - r * 0.55, cy - r * 0.1), (cx - r * 0.1, cy - r * 0.55)], WHITE, 1.2)


def lens_tint(c, cx, cy, r):
    """The glass itself: a faint light-blue cast over what lies beneath."""
    overlay = Image.new("RGB", c.image.size, BLUE_LIGHT)
    mask = Image.new("L", c.image.size, 0)
    ImageDraw.Draw(mask).ellipse([(cx - r) * SCALE, (cy - r) * SCALE,
                                  (cx + r) * SCALE, (cy + r) * SCALE], fill=70)
    c.image.paste(overlay, (0, 0), mask)


# --- the JPEG quantisation tables ------------------------------------------------

# The example tables of the JPEG standard (row by row), scaled the way libjpeg
# scales them for a quality setting.
STD_LUMA = [
    16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55,
    14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29, 51, 87, 80, 62,
    18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
]
STD_CHROMA = [
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
] + [99] * 32


def scaled(table, quality):
    factor = 5000 // quality if quality < 50 else 200 - 2 * quality
    return [min(255, max(1, (v * factor + 50) // 100)) for v in table]


# --- the eight pictures --------------------------------------------------------

def picture_open_box():
    c = Canvas()
    open_box(c, dy=2)
    return c.finish()


def picture_box_with_arrow():
    c = Canvas()
    open_box(c, dy=4)
    # a fat green arrow pointing down into the opening
    arrow = [(19, 1), (28, 1), (28, 10), (33, 10), (23.5, 21), (14, 10), (19, 10)]
    c.polygon(arrow, GREEN, outline=GREEN_DARK, width=1.2)
    c.line([(20.5, 2.5), (20.5, 10.5)], (150, 235, 150), 1.0)
    return c.finish()


def picture_tap():
    c = Canvas()
    # wall flange and the pipe coming out of it
    c.rect(1, 8, 6, 27, CHROME, outline=CHROME_DARK)
    c.line([(2.6, 10), (2.6, 25)], CHROME_LIGHT, 1.0)
    c.rect(5, 13, 16, 21, CHROME, outline=CHROME_DARK)
    c.line([(6, 15), (15, 15)], CHROME_LIGHT, 1.4)
    c.line([(6, 19.3), (15, 19.3)], (130, 136, 144), 1.0)
    # spout bending down
    spout = [(26, 12), (37, 12), (42, 15), (44, 20), (44, 27), (37, 27), (37, 21), (35, 20),
             (26, 21)]
    c.polygon(spout, CHROME, outline=CHROME_DARK)
    c.line([(27, 14), (36.5, 14), (40.5, 16.5), (42, 20.5)], CHROME_LIGHT, 1.4)
    c.line([(38.3, 27), (42.7, 27)], CHROME_DARK, 1.6)
    # valve body
    c.rect(15, 9, 28, 24, CHROME, outline=CHROME_DARK, radius=2.5)
    c.line([(17.5, 11.5), (17.5, 21.5)], CHROME_LIGHT, 1.6)
    c.line([(25.3, 11.5), (25.3, 21.5)], (130, 136, 144), 1.0)
    # yellow handle: stem and a lever on top
    c.rect(19.5, 4.5, 23.5, 9.5, CHROME, outline=CHROME_DARK)
    c.rect(9, 1, 34, 6, YELLOW, outline=YELLOW_DARK, radius=2.4)
    c.line([(11.5, 2.8), (31.5, 2.8)], (255, 240, 150), 1.0)
    # a drop falling from the spout
    drop = [(40.5, 30)] + [(40.5 + 4.0 * math.cos(math.radians(a)),
                            40.5 + 4.0 * math.sin(math.radians(a)))
                           for a in range(-20, 201, 10)]
    c.polygon(drop, BLUE, outline=BLUE_DARK, width=1.0)
    c.line([(38.8, 37), (38.6, 40.5)], BLUE_LIGHT, 1.1)
    return c.finish()


def picture_pencil_on_sheet():
    c = Canvas()
    sheet = rotated([(4, 10), (34, 10), (34, 46), (4, 46)], 19, 28, -8)
    c.polygon(sheet, BLUE, outline=BLUE_DARK)
    # written lines on the sheet
    for y in (17, 23, 29):
        c.line(rotated([(8, y), (29, y)], 19, 28, -8), WHITE, 1.2)
    c.line(rotated([(8, 35), (20, 35)], 19, 28, -8), WHITE, 1.2)
    # the pencil, from the top right down to the point on the last line
    tip = (21.5, 34.5)
    a = math.radians(-50)
    dx, dy = math.cos(a), math.sin(a)
    nx, ny = -dy, dx
    half = 3.4

    def at(t, side):
        return (tip[0] + dx * t + nx * half * side, tip[1] + dy * t + ny * half * side)

    c.polygon([tip, at(8, 1), at(8, -1)], (240, 205, 150), outline=OUTLINE)
    c.polygon([tip, (tip[0] + dx * 3 + nx * 1.3, tip[1] + dy * 3 + ny * 1.3),
               (tip[0] + dx * 3 - nx * 1.3, tip[1] + dy * 3 - ny * 1.3)], (50, 50, 50), outline=None)
    c.polygon([at(8, 1), at(24, 1), at(24, -1), at(8, -1)], YELLOW, outline=YELLOW_DARK)
    c.line([at(8, 0.0), at(24, 0.0)], (255, 240, 120), 1.0)
    c.line([at(8, -0.55), at(24, -0.55)], (215, 170, 0), 0.8)
    c.polygon([at(24, 1), at(27, 1), at(27, -1), at(24, -1)], (200, 200, 210), outline=CHROME_DARK)
    c.polygon([at(27, 1), at(30.5, 1), at(30.5, -1), at(27, -1)], (240, 120, 140), outline=OUTLINE)
    return c.finish()


def open_book(c):
    """An open book seen from above and in front: blue cover, white pages."""
    c.polygon([(2, 20), (23, 24), (44, 20), (44, 44), (23, 47), (2, 44)], BLUE, outline=BLUE_DARK)
    c.polygon([(4, 17), (23, 21), (23, 44), (4, 41)], WHITE, outline=PAPER_EDGE)
    c.polygon([(23, 21), (42, 17), (42, 41), (23, 44)], WHITE, outline=PAPER_EDGE)
    for i in range(5):
        y = 24 + i * 3.6
        c.line([(7, y - 1.5), (20, y + 1.2)], (90, 90, 110), 0.9)
        c.line([(26, y + 1.2), (39, y - 1.5)], (90, 90, 110), 0.9)


def picture_book_under_glass():
    c = Canvas()
    open_book(c)
    lens_tint(c, 17, 17, 11)
    magnifier(c, 17, 17, 11)
    return c.finish()


def picture_window_under_glass():
    c = Canvas()
    # a program window: frame, blue title bar with its close box, white inside
    c.rect(4, 14, 44, 44, (200, 200, 200), outline=OUTLINE)
    c.rect(5.5, 15.5, 42.5, 22, BLUE, outline=None)
    c.rect(37, 16.5, 41.5, 21, (200, 200, 200), outline=OUTLINE, width=0.7)
    c.line([(7.5, 18.8), (24, 18.8)], WHITE, 1.0)
    c.rect(6.5, 23.5, 41.5, 42.5, WHITE, outline=PAPER_EDGE, width=0.8)
    for y in (27, 31, 35):
        c.line([(26, y), (39, y)], (110, 110, 130), 1.0)
    lens_tint(c, 17, 17, 11)
    magnifier(c, 17, 17, 11)
    return c.finish()


def picture_sheets():
    c = Canvas()
    for angle, ox, oy in ((-20, -3, 3), (16, 4, 2), (-7, -1, 0)):
        sheet = rotated([(11 + ox, 9 + oy), (36 + ox, 9 + oy), (36 + ox, 40 + oy), (11 + ox, 40 + oy)],
                        24, 24, angle)
        c.polygon([(x + 1.0, y + 1.0) for x, y in sheet], (95, 95, 95), outline=None)
        c.polygon(sheet, WHITE, outline=PAPER_EDGE, width=0.9)
    # the top sheet, straight, with one corner turned down
    top = [(13, 7), (31, 7), (37, 13), (37, 41), (13, 41)]
    c.polygon([(x + 1.2, y + 1.2) for x, y in top], (95, 95, 95), outline=None)
    c.polygon(top, WHITE, outline=PAPER_EDGE, width=0.9)
    c.polygon([(31, 7), (37, 13), (31, 13)], (215, 215, 215), outline=PAPER_EDGE, width=0.8)
    return c.finish()


def beetle(c, cx, cy, angle, k=1.3):
    """A small blue beetle: oval shell split down the back, head, six legs."""
    def r(points):
        return rotated([(cx + x * k, cy + y * k) for x, y in points], cx, cy, angle)
    for side in (-1, 1):
        for ly in (-1.8, 0.4, 2.6):
            c.line(r([(side * 2.0, ly), (side * 4.0, ly - 1.2)]), OUTLINE, 0.9)
    c.polygon(r([(-1.4, -4.4), (1.4, -4.4), (1.8, -2.6), (-1.8, -2.6)]), BLUE_DARK,
              outline=OUTLINE, width=0.6)
    shell = [(3.0 * math.cos(math.radians(a)), 0.6 + 3.6 * math.sin(math.radians(a)))
             for a in range(0, 360, 20)]
    c.polygon(r(shell), BLUE, outline=OUTLINE, width=0.7)
    c.line(r([(0, -2.8), (0, 4.0)]), BLUE_DARK, 0.7)
    c.line(r([(-1.6, -1.0), (-1.0, 0.6)]), BLUE_LIGHT, 0.9)


def picture_glass_with_beetles():
    c = Canvas()
    lens_tint(c, 21, 20, 10)
    magnifier(c, 21, 20, 10)
    for cx, cy, angle in ((8, 8, -40), (39, 8, 35), (8, 37, -140), (41, 26, 100), (23, 41, 190)):
        beetle(c, cx, cy, angle)
    return c.finish()


PICTURES = [
    ("open_box", picture_open_box),
    ("box_arrow", picture_box_with_arrow),
    ("tap", picture_tap),
    ("pencil", picture_pencil_on_sheet),
    ("book_glass", picture_book_under_glass),
    ("window_glass", picture_window_under_glass),
    ("sheets", picture_sheets),
    ("beetles", picture_glass_with_beetles),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for number, (name, draw) in enumerate(PICTURES):
        path = os.path.join(here, f"picture{number}_{name}.jpg")
        tables = [scaled(STD_LUMA, LUMA_QUALITY), scaled(STD_CHROMA, CHROMA_QUALITY)]
        draw().save(path, "JPEG", qtables=tables, subsampling=2, optimize=False,
                    progressive=False)
        print(f"{os.path.basename(path)}: {os.path.getsize(path)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
