#!/usr/bin/python3
"""Both windows as they stand after start-up: place, size, style, and every
control with its class, rectangle (client coordinates), text and state."""
from guitest import (BUFFER_TITLE_PREFIX, MAIN_TITLE, WS_CAPTION, WS_EX_CLIENTEDGE, WS_GROUP,
                     WS_MAXIMIZEBOX, WS_MINIMIZEBOX, WS_SYSMENU, WS_TABSTOP, WS_THICKFRAME,
                     ProgramTest, main)

ES = "\u0421"  # the Cyrillic capital Es that the help lines write in "27С64"

# id: class, x, y, w, h, text (None: not compared here)
MAIN_CONTROLS = {
    0: ("Button", 5, 5, 108, 72, "Файл"),
    1: ("Button", 7, 18, 52, 52, ""),
    2: ("Button", 59, 18, 52, 53, ""),
    3: ("Button", 118, 5, 212, 72, "ПЗУ"),
    4: ("Button", 120, 18, 52, 52, ""),
    5: ("Button", 172, 18, 52, 52, ""),
    6: ("Button", 224, 18, 52, 52, ""),
    7: ("Button", 276, 18, 52, 52, ""),
    8: ("ComboBox", 124, 85, 95, 25, ""),
    9: ("ComboBox", 230, 85, 95, 25, "       27C64"),
    10: ("Static", 150, 125, 45, 20, "Адрес ;"),
    11: ("Static", 202, 125, 45, 20, "----"),
    12: ("Static", 256, 125, 40, 20, "----"),
    13: ("msctls_progress32", 5, 153, 325, 10, ""),
    14: ("Button", 5, 76, 108, 70, ""),
    15: ("Button", 59, 88, 52, 52, ""),
    16: ("Button", 7, 88, 52, 52, ""),
    18: ("Button", 5, 170, 325, 122, "Микро Хелп"),
    19: ("Static", 15, 190, 300, 20, "Программатор EEPROM микросхем серии 27%s---" % ES),
    20: ("Static", 15, 210, 300, 20,
         "27{0}64 - 8Кб Х 8 / 27{0}128 - 16Кб Х 8 / 27{0}256 - 32Кб Х 8".format(ES)),
    21: ("Static", 15, 230, 300, 20, "Назначение кнопочек должно быть понятно."),
    22: ("Static", 15, 250, 300, 20, "-" * 106),
}

BUFFER_CONTROLS = {
    100: ("SysListView32", 0, 0, 502, 545, ""),
    101: ("Edit", 5, 550, 70, 15, ""),
    **{102 + k: ("Edit", 90 + 40 * k, 550, 30, 15, "") for k in range(8)},
    110: ("Button", 410, 548, 90, 19, "Ввод"),
}

BS_TYPEMASK = 0xF
BS_GROUPBOX = 0x7
TOGGLE = 0x1003  # BS_PUSHLIKE | BS_AUTOCHECKBOX
CBS_DROPDOWNLIST = 0x3
SS_CENTER = 0x1
PBS_SMOOTH = 0x1
ES_UPPERCASE = 0x8
ES_AUTOHSCROLL = 0x80
ES_READONLY = 0x800
LVS_REPORT_SINGLESEL_SHARED = 0x1 | 0x4 | 0x40
LVS_EX_GRIDLINES = 0x1
LVS_EX_FULLROWSELECT = 0x20
LVS_EX_DOUBLEBUFFER = 0x10000


class MainWindowLayout(ProgramTest):
    def test_window_place_size_and_frame(self):
        box = self.program.geometry("main")
        self.assertEqual(box["title"], MAIN_TITLE)
        self.assertEqual((box["x"], box["y"], box["w"], box["h"]), (200, 200, 335, 169))
        self.assertTrue(box["visible"])
        style = box["style"]
        for bit in (WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX):
            self.assertEqual(style & bit, bit)
        self.assertEqual(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0)

    def test_every_control_in_creation_order(self):
        children = self.drive("children", "main")["children"]
        self.assertEqual([c["id"] for c in children], sorted(MAIN_CONTROLS))
        for control_id, (cls, x, y, w, h, text) in MAIN_CONTROLS.items():
            with self.subTest(control=control_id):
                control = self.program.control(control_id)
                self.assertEqual(control["class"], cls)
                self.assertRect(control, x, y, w, h)
                self.assertEqual(control["text"], text)
                self.assertEqual(control["enabled"], control_id != 22)

    def test_control_kinds(self):
        for frame in (0, 3, 14, 18):
            style = self.program.control(frame)["style"]
            self.assertEqual(style & BS_TYPEMASK, BS_GROUPBOX, frame)
            self.assertEqual(style & WS_GROUP, WS_GROUP, frame)
        for button in (1, 2, 4, 5, 6, 7):
            style = self.program.control(button)["style"]
            self.assertEqual(style & 0xF00F, 0, button)  # a plain push button
            self.assertEqual(style & WS_TABSTOP, WS_TABSTOP, button)
        for toggle in (15, 16):
            control = self.program.control(toggle)
            self.assertEqual(control["style"] & 0xF00F, TOGGLE, toggle)
            self.assertEqual(control["state"], 0, toggle)
        for selector in (8, 9):
            style = self.program.control(selector)["style"]
            self.assertEqual(style & 0x3, CBS_DROPDOWNLIST)
            self.assertEqual(style & (WS_TABSTOP | WS_GROUP), WS_TABSTOP | WS_GROUP)
        for text in (10, 11, 12):
            self.assertEqual(self.program.control(text)["style"] & 0x3, SS_CENTER, text)
        for text in (19, 20, 21, 22):
            self.assertEqual(self.program.control(text)["style"] & 0x3, 0, text)
        progress = self.program.control(13)
        self.assertEqual(progress["style"] & PBS_SMOOTH, PBS_SMOOTH)
        self.assertEqual(progress["state"], 0)

    def test_selectors(self):
        chips = self.drive("items", 9)
        self.assertEqual(chips["items"], ["       27C64", "       27C128", "       27C256"])
        self.assertEqual(chips["selected"], 0)
        # This prefix has no serial port: the port selector is empty, nothing selected.
        ports = self.drive("items", 8)
        self.assertEqual(ports, {"items": [], "selected": -1})


class BufferWindowLayout(ProgramTest):
    def test_hidden_window_place_size_and_frame(self):
        box = self.program.geometry("buffer")
        self.assertFalse(box["visible"])
        self.assertEqual(box["title"], BUFFER_TITLE_PREFIX + "27C64")
        # 1024 - 515 on this desktop.
        self.assertEqual((box["x"], box["y"], box["w"], box["h"]), (509, 0, 502, 570))
        self.assertEqual(box["style"] & WS_CAPTION, WS_CAPTION)
        self.assertEqual(box["style"] & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX), 0)

    def test_listing_and_row_editor_controls(self):
        children = self.drive("children", "buffer")["children"]
        self.assertEqual([c["id"] for c in children], sorted(BUFFER_CONTROLS))
        for control_id, (cls, x, y, w, h, text) in BUFFER_CONTROLS.items():
            with self.subTest(control=control_id):
                control = self.program.control(control_id)
                self.assertEqual(control["class"], cls)
                self.assertRect(control, x, y, w, h)
                self.assertEqual(control["text"], text)
                self.assertEqual(control["enabled"], control_id != 110)
                if cls == "Edit":
                    extra = ES_READONLY if control_id == 101 else ES_UPPERCASE
                    style = control["style"]
                    self.assertEqual(style & (extra | ES_AUTOHSCROLL), extra | ES_AUTOHSCROLL)
                    self.assertEqual(style & (ES_READONLY | ES_UPPERCASE), extra)
                    self.assertEqual(control["exstyle"] & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE)

    def test_listing_columns_and_styles(self):
        listing = self.program.control(100)
        self.assertEqual(listing["style"] & 0xFF, LVS_REPORT_SINGLESEL_SHARED)
        self.assertEqual(listing["exstyle"] & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE)
        columns = self.drive("columns")
        wanted = ([("    Адрес", 80)] + [("  0%d" % n, 40) for n in range(8)] + [("Ascii", 80)])
        self.assertEqual([(c["title"], c["width"]) for c in columns["columns"]], wanted)
        extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_GRIDLINES
        self.assertEqual(columns["extended"] & extended, extended)

    def test_listing_after_start_up(self):
        self.assertEqual(self.drive("row-count")["rows"], 1024)
        first, = self.drive("rows", 0, 1)["rows"]
        self.assertEqual(first, ["      0000"] + ["   00"] * 8 + [" " * 10])
        last, = self.drive("rows", 1023, 1)["rows"]
        self.assertEqual(last[0], "      1FF8")
        self.assertEqual(self.drive("rows", 1024, 1)["rows"], [])


if __name__ == "__main__":
    main()
