#!/usr/bin/python3
"""The row editor under the listing, as a user works it: choosing a row,
typing over its bytes, "Ввод", and what lands in the buffer (seen through a
saved binary file); a refresh or hiding the window empties the editor."""
import pathlib
import shutil
import tempfile

from guitest import ProgramTest, main
from wineenv import wine_path

LISTING, ADDRESS, APPLY = 100, 101, 110
BYTE_FIELDS = range(102, 110)
ROW = 0x35  # first address 0x1A8
SLOW = 20000  # ms; a dialog's first showing in a fresh prefix takes a while

# What the user types into the eight byte fields, what each field then shows
# (letters come out upper case), and the byte that "Ввод" stores.
TYPED = ["1ff", "41", "7g", "12345", "$ff", "g7", " 3 ", "a"]
SHOWN = ["1FF", "41", "7G", "12345", "$FF", "G7", " 3 ", "A"]
STORED = bytes([0xFF, 0x41, 0x07, 0x45, 0x00, 0x00, 0x03, 0x0A])


def ascii_cell(data):
    """Two spaces, then each byte as its Windows-1251 character, below 0x20 a space."""
    return "  " + "".join(" " if b < 0x20 else bytes([b]).decode("cp1251") for b in data)


class RowEditorScenario(ProgramTest):
    def setUp(self):
        super().setUp()
        self.folder = pathlib.Path(tempfile.mkdtemp(prefix="romprog-gui-rows-"))
        self.drive("click", 16)  # show the buffer window

    def tearDown(self):
        super().tearDown()
        shutil.rmtree(self.folder, ignore_errors=True)

    def row_cells(self, row):
        return self.drive("rows", row, 1)["rows"][0]

    def load_row(self):
        self.assertEqual(self.drive("select-row", ROW)["selected"], ROW)
        self.assertEqual(self.drive("text", ADDRESS)["text"], "      01A8")
        self.assertTrue(self.program.control(APPLY)["enabled"])

    def assert_editor_empty(self):
        for field in range(ADDRESS, APPLY):
            self.assertEqual(self.drive("text", field)["text"], "", "field %d" % field)
        self.assertFalse(self.program.control(APPLY)["enabled"])

    def choose_file(self, button, path, entry):
        self.drive("click", button)
        self.drive("file-dialog", SLOW)
        self.drive("file-choose", entry, wine_path(path))
        box = self.drive("msgbox", SLOW)
        self.drive("answer", "ok")
        return box

    def save_binary(self):
        path = self.folder / "edited.bin"
        box = self.choose_file(2, path, 1)
        self.assertEqual((box["caption"], box["text"]), ("OK !!!", "OK !!!"))
        return path.read_bytes()

    def test_apply_stores_the_row_and_rewrites_its_byte_cells(self):
        self.load_row()
        before = self.row_cells(ROW)
        self.assertEqual(before[1:9], ["   00"] * 8)
        self.assertEqual([self.drive("text", f)["text"] for f in BYTE_FIELDS], ["   00"] * 8)
        neighbours = (self.row_cells(ROW - 1), self.row_cells(ROW + 1))

        for field, typed, shown in zip(BYTE_FIELDS, TYPED, SHOWN):
            self.assertEqual(self.drive("type-into", field, typed)["text"], shown)
        self.drive("click", APPLY)

        after = self.row_cells(ROW)
        self.assertEqual(after[0], "      01A8")
        self.assertEqual(after[1:9], ["   %02X" % b for b in STORED])
        # The row's Ascii cell is rewritten with it, so it never shows stale
        # characters.
        self.assertNotEqual(after[9], before[9])
        self.assertEqual(after[9], ascii_cell(STORED))
        self.assertEqual((self.row_cells(ROW - 1), self.row_cells(ROW + 1)), neighbours)
        # The fields keep what was typed; the listing takes the focus; the row
        # can be applied again.
        self.assertEqual([self.drive("text", f)["text"] for f in BYTE_FIELDS], SHOWN)
        self.assertEqual(self.drive("focus")["focus_id"], LISTING)
        self.assertTrue(self.program.control(APPLY)["enabled"])

        # The buffer changed at 0x1A8 to 0x1AF and nowhere else.
        saved = self.save_binary()
        self.assertEqual(len(saved), 8192)
        expected = bytearray(8192)
        expected[0x1A8:0x1B0] = STORED
        self.assertEqual(saved, bytes(expected))

    def test_a_refresh_and_hiding_the_window_empty_the_editor(self):
        image = bytes(range(256)) * 32
        source = self.folder / "image.bin"
        source.write_bytes(image)

        self.load_row()
        box = self.choose_file(1, source, -1)
        self.assertEqual(box["text"], "OK !!!")
        self.assert_editor_empty()
        shown = self.row_cells(ROW)
        self.assertEqual(shown[1:9], ["   %02X" % b for b in image[0x1A8:0x1B0]])
        self.assertEqual(shown[9], ascii_cell(image[0x1A8:0x1B0]))

        self.load_row()
        self.assertEqual(self.drive("text", 102)["text"], "   A8")
        self.drive("activate", "main")
        self.drive("click", 16)  # hide
        self.drive("click", 16)  # and show again
        self.assert_editor_empty()


if __name__ == "__main__":
    main()
