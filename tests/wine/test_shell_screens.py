#!/usr/bin/python3
"""What the windows look like: screenshots of both (kept under
build/native/screenshots for people to look at) and the pixels that the
program itself is responsible for."""
import subprocess

from guitest import ProgramTest, main

try:
    from PIL import Image
except ImportError:  # pragma: no cover - Debian's python3-pil is a listed package
    Image = None

GRID_GREY = (128, 128, 128)
RED = (255, 0, 0)


def pixels(path):
    image = Image.open(path).convert("RGB")
    return image, image.load()


def count(image, data, colour, box=None):
    left, top, right, bottom = box or (0, 0, image.width, image.height)
    return sum(1 for y in range(top, bottom) for x in range(left, right) if data[x, y] == colour)


class Screens(ProgramTest):
    def setUp(self):
        if Image is None:
            self.skipTest("python3-pil is not installed")
        super().setUp()

    def client_box(self, window, control):
        """A control's rectangle inside a screenshot of its window's frame."""
        box = self.program.geometry(window)
        c = self.program.control(control)
        dx = box["client_x"] - box["x"]
        dy = box["client_y"] - box["y"]
        return (c["x"] + dx, c["y"] + dy, c["x"] + c["w"] + dx, c["y"] + c["h"] + dy)

    def test_main_window_folded_and_unfolded(self):
        folded = self.program.screenshot("main", "main_window")
        image, data = pixels(folded)
        box = self.program.geometry("main")
        self.assertEqual(image.size, (box["outer_w"], box["outer_h"]))
        self.drive("click", 15)
        unfolded = self.program.screenshot("main", "main_window_help")
        image, data = pixels(unfolded)
        self.assertEqual(image.size[1], box["outer_h"] + 128)
        # The help rule (106 hyphens, disabled) is drawn greyed, not black.
        rule = self.client_box("main", 22)
        dark = [data[x, y] for y in range(rule[1], rule[3]) for x in range(rule[0], rule[2])
                if sum(data[x, y]) < 3 * 40]
        self.assertEqual(dark, [], "text 22 is not greyed")
        # ...while a help line in the normal colour has dark pixels.
        line = self.client_box("main", 21)
        self.assertGreater(count(image, data, (0, 0, 0), line), 20)

    def test_title_bar_carries_the_chip_icon(self):
        path = self.program.screenshot("main", "main_window_icon")
        image, data = pixels(path)
        # The small icon sits left of the title text on the blue caption: the
        # light package body and the warm pins can only come from the icon.
        icon = [data[x, y] for y in range(2, 22) for x in range(2, 21)]
        body = [p for p in icon if min(p) > 190 and abs(p[0] - p[2]) < 30]
        pins = [p for p in icon if p[0] > p[2] + 60 and p[1] > p[2]]
        self.assertGreater(len(body), 20, "no light chip body in the title-bar icon")
        self.assertGreater(len(pins), 4, "no gold pins in the title-bar icon")

    def test_buffer_window_grid_and_red_fields(self):
        self.drive("click", 16)
        self.drive("select-row", 2)
        path = self.program.screenshot("buffer", "buffer_window")
        image, data = pixels(path)
        listing = self.client_box("buffer", 100)
        grey = count(image, data, GRID_GREY, listing)
        # Nine column lines and a line under every visible row, 500 px and more each.
        self.assertGreater(grey, 9 * 400 + 20 * 400)
        field = self.client_box("buffer", 102)
        self.assertGreater(count(image, data, RED, field), 5, "byte field text is not red")
        address = self.client_box("buffer", 101)
        self.assertGreater(count(image, data, RED, address), 5, "address text is not red")

    def test_a_byte_field_shows_both_digits_of_its_cell(self):
        self.drive("click", 16)
        self.drive("select-row", 2)  # every byte field now holds "   00"
        self.assertEqual(self.drive("type-into", 109, "00")["text"], "00")
        self.drive("activate", "main")  # no caret over the digits
        path = self.program.screenshot("buffer", "byte_fields")
        image, data = pixels(path)
        loaded = red_ink(image, data, self.client_box("buffer", 102))
        typed = red_ink(image, data, self.client_box("buffer", 109))
        # Typed over the loaded text, "00" shows both its digits...
        self.assertEqual(glyph_count(typed), 2)
        # ...and so does the loaded "   00": behind the three blanks the
        # second digit is not cut by the field's edge ("00" cut short reads
        # as "0C").
        self.assertEqual(loaded, typed)


def red_ink(image, data, box):
    """The red text pixels in `box` (smoothed edges included), placed relative
    to their top left corner."""
    left, top, right, bottom = box
    ink = [(x, y) for y in range(top, bottom) for x in range(left, right)
           if data[x, y][0] - max(data[x, y][1], data[x, y][2]) > 60]
    if not ink:
        return frozenset()
    x0 = min(x for x, _ in ink)
    y0 = min(y for _, y in ink)
    return frozenset((x - x0, y - y0) for x, y in ink)


def glyph_count(ink):
    """How many runs of inked columns, blank columns between them, `ink` has."""
    columns = sorted({x for x, _ in ink})
    return sum(1 for i, x in enumerate(columns) if i == 0 or x != columns[i - 1] + 1)


if __name__ == "__main__":
    main()
