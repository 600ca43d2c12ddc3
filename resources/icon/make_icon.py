#!/usr/bin/python3
"""Draws the program icon: a chip in a dual-in-line package, 48x48, 32-bit
with alpha, light body and gold pins on a transparent background.

Run from anywhere; writes romprog.ico beside this script. The drawing is
plain geometry, so the output is the same on every run.
"""
import pathlib
import struct

from PIL import Image, ImageDraw

SIZE = 48
BODY = (226, 226, 218, 255)
BODY_EDGE = (120, 120, 112, 255)
PIN = (212, 168, 44, 255)
PIN_EDGE = (150, 110, 20, 255)
MARK = (150, 150, 142, 255)
TEXT = (90, 90, 84, 255)


def draw() -> Image.Image:
    image = Image.new("RGBA", (SIZE, SIZE), (0, 0, 0, 0))
    d = ImageDraw.Draw(image)
    # Seven pins on each long side, drawn first so the body covers their roots.
    for i in range(7):
        x = 6 + i * 6
        d.rectangle([x, 4, x + 3, 12], fill=PIN, outline=PIN_EDGE)
        d.rectangle([x, 35, x + 3, 43], fill=PIN, outline=PIN_EDGE)
    d.rectangle([2, 10, 45, 37], fill=BODY, outline=BODY_EDGE)
    # The notch that marks pin 1, at the left end of the package.
    d.pieslice([-3, 18, 7, 29], 270, 90, fill=MARK, outline=BODY_EDGE)
    d.ellipse([8, 29, 11, 32], fill=MARK)
    # A few printed marks on the body, as on a real part.
    for y, width in ((16, 26), (21, 20), (26, 14)):
        d.line([15, y, 15 + width, y], fill=TEXT, width=2)
    return image


def ico_bytes(image: Image.Image) -> bytes:
    """One 32-bit DIB entry (not PNG), which every Windows and Wine loads."""
    w, h = image.size
    pixels = image.load()
    xor = bytearray()
    for y in reversed(range(h)):  # bottom-up rows
        for x in range(w):
            r, g, b, a = pixels[x, y]
            xor += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(h)):
        row = bytearray(mask_stride)
        for x in range(w):
            if pixels[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    entry = header + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    directory += struct.pack("<BBBBHHII", w, h, 0, 0, 1, 32, len(entry), 6 + 16)
    return directory + entry


def main() -> None:
    out = pathlib.Path(__file__).with_name("romprog.ico")
    out.write_bytes(ico_bytes(draw()))
    print(out)


if __name__ == "__main__":
    main()
