"""Shared pieces of the GUI scenarios: a test case that starts romprog.exe
for each test and the window constants every scenario needs."""
import unittest

import wineenv

MAIN_TITLE = "Программатор ПЗУ"
BUFFER_TITLE_PREFIX = "      Буфер;   "

# Window styles as the program must have them.
WS_CAPTION = 0x00C00000
WS_SYSMENU = 0x00080000
WS_MINIMIZEBOX = 0x00020000
WS_MAXIMIZEBOX = 0x00010000
WS_THICKFRAME = 0x00040000
WS_TABSTOP = 0x00010000
WS_GROUP = 0x00020000
WS_VISIBLE = 0x10000000
WS_CHILD = 0x40000000
WS_EX_CLIENTEDGE = 0x200


class ProgramTest(unittest.TestCase):
    """Each test gets a freshly started program; it is stopped afterwards
    whatever the test did to it."""

    @classmethod
    def setUpClass(cls):
        cls.env = wineenv.setup()

    def setUp(self):
        self.program = wineenv.Program(self.env)
        self.drive = self.program.drive

    def tearDown(self):
        self.program.stop()

    def assertRect(self, control, x, y, w, h):
        got = (control["x"], control["y"], control["w"], control["h"])
        self.assertEqual(got, (x, y, w, h), "control %d" % control["id"])


def main():
    unittest.main(verbosity=2)
