"""Pixels of the real screen and of the picture files, for the picture scenarios.

The X screen is read with ImageMagick's `import` (the Wine virtual desktop
sits at the X screen's origin); the .jpg files are decoded by ImageMagick's
libjpeg. Both come back as plain RGB rows, so no imaging module is needed.
"""
import pathlib
import subprocess

PICTURES = pathlib.Path(__file__).resolve().parents[2] / "resources" / "pictures"


class Pixels:
    """An RGB image: `at(x, y)` gives (r, g, b), x and y from the top left."""

    def __init__(self, width, height, data):
        self.width = width
        self.height = height
        self.data = data

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return self.data[i], self.data[i + 1], self.data[i + 2]


def _read_ppm(raw):
    """Parses a binary PPM (P6, maxval 255) as ImageMagick writes it."""
    fields = []
    pos = 0
    while len(fields) < 4:
        while raw[pos:pos + 1].isspace():
            pos += 1
        if raw[pos:pos + 1] == b"#":
            pos = raw.index(b"\n", pos) + 1
            continue
        end = pos
        while not raw[end:end + 1].isspace():
            end += 1
        fields.append(raw[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError("not an 8-bit PPM")
    width, height = int(fields[1]), int(fields[2])
    data = raw[pos + 1:pos + 1 + 3 * width * height]
    if len(data) != 3 * width * height:
        raise ValueError("short PPM")
    return Pixels(width, height, data)


def grab(display, x, y, width, height):
    """The screen rectangle at (x, y) as it is shown now."""
    raw = subprocess.run(["import", "-display", display, "-window", "root", "-crop",
                          "%dx%d+%d+%d" % (width, height, x, y), "+repage", "-depth", "8",
                          "ppm:-"],
                         check=True, stdout=subprocess.PIPE).stdout
    return _read_ppm(raw)


def picture(number):
    """Button picture `number` decoded from its file in resources/pictures."""
    (path,) = PICTURES.glob("picture%d_*.jpg" % number)
    raw = subprocess.run(["convert", str(path), "-depth", "8", "ppm:-"], check=True,
                         stdout=subprocess.PIPE).stdout
    return _read_ppm(raw)


def mismatch(shot, pic, left, top, inset):
    """Mean difference per channel between `pic` placed at (left, top) in
    `shot` and what `shot` shows there, over the part of `shot` lying at least
    `inset` pixels inside its edges."""
    total = 0
    count = 0
    for y in range(max(inset, top), min(shot.height - inset, top + pic.height)):
        for x in range(max(inset, left), min(shot.width - inset, left + pic.width)):
            a = shot.at(x, y)
            b = pic.at(x - left, y - top)
            total += abs(a[0] - b[0]) + abs(a[1] - b[1]) + abs(a[2] - b[2])
            count += 3
    return total / count if count else float("inf")


def placement(shot, pic, inset, search=4):
    """Where `pic` sits in `shot`: the (left, top) that matches best near the
    centre, with its mismatch and the mismatch of the next best place."""
    cx = (shot.width - pic.width) // 2
    cy = (shot.height - pic.height) // 2
    scores = sorted((mismatch(shot, pic, cx + dx, cy + dy, inset), (cx + dx, cy + dy))
                    for dx in range(-search, search + 1) for dy in range(-search, search + 1))
    (best, where), (second, _) = scores[0], scores[1]
    return where, best, second
