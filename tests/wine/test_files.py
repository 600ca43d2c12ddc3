#!/usr/bin/python3
"""Opening and saving image files through the program's real dialogs: what
the user sees in the message boxes and the listing, and what lands on disk."""
import os
import pathlib
import random
import shutil
import subprocess
import tempfile
import unittest

from guitest import ProgramTest, main
from wineenv import wine_path

WARNING, INFORMATION = "exclamation", "information"
LOAD_FAILED = "Файл НЕ ЗАГРУЗИЛСЯ !"
SAVE_FAILED = "Буфер в файл не сохранился !"
LISTING = 100
CHIP_SELECTOR = 9
SLOW = 20000  # ms; a dialog's first showing in a fresh prefix takes a while


def intel_hex(image):
    """The file the program must write, built here from the record layout."""
    lines = []
    for offset in range(0, len(image), 16):
        record = bytes([16, offset >> 8, offset & 0xFF, 0]) + image[offset:offset + 16]
        lines.append(":" + (record + bytes([-sum(record) & 0xFF])).hex().upper())
    lines.append(":00000001FF")
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def random_bytes(size, seed):
    return random.Random(seed).randbytes(size)


class FileScenario(ProgramTest):
    def setUp(self):
        super().setUp()
        self.folder = pathlib.Path(tempfile.mkdtemp(prefix="romprog-gui-files-"))
        self.drive("click", 16)  # show the buffer window and its listing

    def tearDown(self):
        super().tearDown()
        shutil.rmtree(self.folder, ignore_errors=True)

    def choose(self, button, path, entry=-1):
        """Clicks the button and picks `path` (and a filter entry) in its dialog."""
        self.drive("click", button)
        self.drive("file-dialog", SLOW)
        self.drive("file-choose", entry, path if isinstance(path, str) else wine_path(path))

    def box(self):
        """The message box now showing, which is then answered."""
        box = self.drive("msgbox", SLOW)
        self.drive("answer", "ok")
        return box["caption"], box["text"], box["icon"]

    def no_box(self):
        self.assertIsNone(self.drive.try_call("msgbox", 1500))

    def chip(self, index):
        self.drive("select-item", CHIP_SELECTOR, index)

    def listing_bytes(self, first_row, rows):
        """The bytes the listing shows in those rows, read from its cells."""
        shown = self.drive("rows", first_row, rows)["rows"]
        return bytes(int(cell, 16) for row in shown for cell in row[1:9])

    def assert_listing_shows(self, image):
        rows = len(image) // 8
        self.assertEqual(self.drive("row-count")["rows"], rows)
        for first in (0, rows // 2 - 8, rows - 16):  # beginning, middle and end
            self.assertEqual(self.listing_bytes(first, 16), image[first * 8:first * 8 + 128],
                             "rows from %d" % first)


class Opening(FileScenario):
    def test_the_dialog_and_cancelling_it(self):
        self.drive("click", 1)
        dialog = self.drive("file-dialog", SLOW)
        self.assertEqual(dialog["title"], "Открыть Файл.")
        self.assertEqual(dialog["filters"], ["Файлы *.hex *.bin", "Все файлы (*.*)"])
        self.assertEqual(dialog["filter"], 0)
        self.assertEqual(dialog["name"], "")
        self.assertEqual(dialog["owner"], "Программатор ПЗУ")
        self.assertFalse(dialog["windows"]["main_enabled"])
        self.assertFalse(dialog["windows"]["buffer_enabled"])
        self.drive("file-cancel")
        self.no_box()
        self.assert_listing_shows(bytes(8192))

    def test_binary_files_short_exact_and_too_long(self):
        self.chip(2)  # 27C256
        short = self.folder / "short.bin"
        short.write_bytes(random_bytes(100, 1))
        self.choose(1, short)
        self.assertEqual(self.box(), ("OK !!!", "OK !!!", INFORMATION))
        self.assert_listing_shows(short.read_bytes() + b"\xFF" * (32768 - 100))

        self.chip(0)  # 27C64
        exact = self.folder / "exact.rom"
        exact.write_bytes(random_bytes(8192, 2))
        self.choose(1, exact, 1)
        self.assertEqual(self.box(), ("OK !!!", "OK !!!", INFORMATION))
        self.assert_listing_shows(exact.read_bytes())

        long = self.folder / "long.bin"
        long.write_bytes(random_bytes(32768, 3))
        self.choose(1, long)
        self.assertEqual(self.box(), ("", "Размер выбранной микросхемы - 8192 Байт\n\r"
                                          "Размер открываемого файла - 32768 байт\n\r\n\r"
                                          "Загружено 8192 Байт", WARNING))
        self.assert_listing_shows(long.read_bytes()[:8192])
        # Past the chip's size the buffer was erased, not loaded: a save with
        # the larger type shows it.
        self.chip(2)
        self.choose(2, self.folder / "whole", 1)
        self.box()
        self.assertEqual((self.folder / "whole.bin").read_bytes(),
                         long.read_bytes()[:8192] + b"\xFF" * 24576)

    def test_intel_hex_and_files_that_cannot_be_read(self):
        image = random_bytes(8192, 4)
        hex_file = self.folder / "ROM.HEX"
        hex_file.write_bytes(intel_hex(image)[:-13] + b":0210000041426B\r\n")  # one more, at 0x1000
        self.choose(1, hex_file)
        self.assertEqual(self.box(), ("OK !!!", "Загружено 8192 Байт", INFORMATION))
        expected = image[:0x1000] + b"AB" + image[0x1002:]
        self.assert_listing_shows(expected)

        # A missing file: the message, and the listing keeps the image.
        for path in (self.folder / "missing.hex", self.folder / "missing.bin"):
            self.choose(1, path)
            self.assertEqual(self.box(), ("", LOAD_FAILED, WARNING), path.name)
        self.assert_listing_shows(expected)
        # The buffer behind the listing kept it too: saving gives it back.
        self.choose(2, self.folder / "kept", 1)
        self.box()
        self.assertEqual((self.folder / "kept.bin").read_bytes(), expected)


class Saving(FileScenario):
    def load(self, image):
        source = self.folder / "source.bin"
        source.write_bytes(image)
        self.choose(1, source)
        self.box()

    def test_the_dialog_and_cancelling_it(self):
        self.drive("click", 2)
        dialog = self.drive("file-dialog", SLOW)
        self.assertEqual(dialog["title"], "Сохранить Буфер.")
        self.assertEqual(dialog["filters"], ["HEX файл (*.hex)", "Бинарный файл (*.bin)"])
        self.assertEqual(dialog["filter"], 0)
        self.assertEqual(dialog["name"], "")
        self.assertEqual(dialog["owner"], "Программатор ПЗУ")
        self.drive("file-cancel")
        self.no_box()
        self.assertEqual(os.listdir(self.folder), [])

    def test_format_follows_the_filter_entry_and_names_get_its_extension(self):
        image = random_bytes(8192, 5)
        self.load(image)
        # Distinct names: Windows names, and Wine's, ignore letter case.
        saves = [("a", 0, "a.hex"), ("b.HEX", 0, "b.HEX"), ("c.bin", 0, "c.bin.hex"),
                 ("d.hex", 1, "d.hex.bin"), ("e.Bin", 1, "e.Bin")]
        for typed, entry, written in saves:
            self.choose(2, self.folder / typed, entry)
            self.assertEqual(self.box(), ("OK !!!", "OK !!!", INFORMATION), typed)
            content = (self.folder / written).read_bytes()
            self.assertEqual(content, intel_hex(image) if entry == 0 else image, written)
        self.assertEqual(sorted(os.listdir(self.folder)),
                         sorted(["source.bin"] + [written for _, _, written in saves]))
        # A Cyrillic name reaches the disk as itself and opens again.
        self.choose(2, self.folder / "прошивка", 1)
        self.box()
        self.assertEqual((self.folder / "прошивка.bin").read_bytes(), image)
        self.choose(1, self.folder / "прошивка.bin")
        self.assertEqual(self.box(), ("OK !!!", "OK !!!", INFORMATION))

    def test_saving_replaces_a_file_and_uses_the_chip_type_chosen_now(self):
        image = random_bytes(32768, 6)
        self.chip(2)
        self.load(image)
        target = self.folder / "old.bin"
        target.write_bytes(b"x" * 100000)
        self.chip(1)  # 27C128, chosen after the load
        self.choose(2, target, 1)
        self.assertEqual(self.box(), ("OK !!!", "OK !!!", INFORMATION))
        self.assertEqual(target.read_bytes(), image[:16384])
        self.choose(2, self.folder / "old", 0)
        self.box()
        self.assertEqual(len((self.folder / "old.hex").read_bytes()), 46093)

    def test_a_name_outside_the_code_page_is_no_other_files_name(self):
        image = random_bytes(8192, 8)
        self.load(image)
        other = self.folder / "cafe.bin"
        other.write_bytes(b"another file")
        # "é" has no place in the program's code page: the name is not read
        # as its look-alike "cafe.bin", neither to open nor to replace.
        self.choose(1, self.folder / "café.bin")
        self.assertEqual(self.box(), ("", LOAD_FAILED, WARNING))
        self.assert_listing_shows(image)
        self.choose(2, self.folder / "café", 1)
        self.assertEqual(self.box(), ("", SAVE_FAILED, WARNING))
        self.no_box()
        self.assertEqual(other.read_bytes(), b"another file")
        self.assertEqual(sorted(os.listdir(self.folder)), ["cafe.bin", "source.bin"])

    def test_a_folder_that_cannot_be_written(self):
        self.load(random_bytes(8192, 7))
        locked = self.folder / "locked"
        locked.mkdir()
        existing = locked / "rom.hex"
        existing.write_bytes(b"the old file")
        lock_folder(locked)
        try:
            self.choose(2, locked / "rom", 0)
            self.assertEqual(self.box(), ("", SAVE_FAILED, WARNING))
            self.no_box()  # and no "OK !!!" after it
            self.assertEqual(existing.read_bytes(), b"the old file")
            self.assertEqual(os.listdir(locked), ["rom.hex"])
        finally:
            unlock_folder(locked)


def lock_folder(folder):
    """Makes `folder` refuse new files, for root too where the system allows."""
    folder.chmod(0o555)
    if os.geteuid() == 0:
        subprocess.run(["chattr", "+i", str(folder)], stderr=subprocess.DEVNULL)
    try:
        (folder / "probe").touch()
    except OSError:
        return
    unlock_folder(folder)
    raise unittest.SkipTest("this machine cannot make a folder unwritable")


def unlock_folder(folder):
    if os.geteuid() == 0:
        subprocess.run(["chattr", "-i", str(folder)], stderr=subprocess.DEVNULL)
    folder.chmod(0o755)
    (folder / "probe").unlink(missing_ok=True)


if __name__ == "__main__":
    main()
