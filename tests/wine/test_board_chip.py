#!/usr/bin/python3
"""The window program under Wine against the programmer's firmware on the
simulated board (romboard) instead of romsim: a 27C64 written from the
buffer, then compared, then the chip file holds the buffer. The board's
chip takes a value only when the firmware times its pulses, supplies and
verifies right."""
import os
import pathlib
import random
import shutil
import tempfile

import romsim
import wineenv
from guitest import ProgramTest, main

ROMBOARD = os.environ.get("ROMBOARD_BINARY") or str(wineenv.TREE /
                                                    "build/native/firmware/romboard")

WRITE, COMPARE = 5, 7
OK_BOX = ("OK !!!", "OK !!!", "information")
SLOW = 20000  # ms for the first box of a fresh program under Wine
WHOLE_27C64 = 180000  # ms for a write of 8192 cells through Wine to end in its box


class BoardScenario(ProgramTest):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.env = romsim.preload_environment(cls.env)  # the program's RTS reaches the board

    def setUp(self):
        self.folder = pathlib.Path(tempfile.mkdtemp(prefix="romprog-gui-board-"))
        self.chip_file = self.folder / "chip.bin"
        self.line = self.folder / "line"
        self.log = self.folder / "board.log"
        # Cells need 1 to 3 pulses; simulated time may run 20 times the clock.
        self.board = romsim.start_romsim(
            ROMBOARD, self.chip_file, link_path=self.line,
            extra_args=["--socket", "27C64", "--erase", "--max-pulses", "3", "--speed", "20",
                        "--log", self.log])
        wineenv.map_com(self.env, 1, self.line)
        super().setUp()

    def tearDown(self):
        super().tearDown()
        self.board.stop()
        wineenv.block_com_ports(self.env)
        shutil.rmtree(self.folder, ignore_errors=True)

    def board_said(self):
        """The board's log and complaints, for a failure's message."""
        log = self.log.read_text() if self.log.exists() else ""
        return "board log:\n%s\nstderr: %s" % (log[-3000:], self.board.stderr_text())

    def box(self, answer="ok", wait=SLOW):
        shown = self.drive("msgbox", wait)
        self.drive("answer", answer)
        return (shown["caption"], shown["text"], shown["icon"])

    def test_write_then_compare(self):
        image = random.Random(26).randbytes(8192)
        source = self.folder / "image.bin"
        source.write_bytes(image)
        self.drive("click", 1)
        self.drive("file-dialog", SLOW)
        self.drive("file-choose", 1, wineenv.wine_path(source))
        self.assertEqual(self.box(), OK_BOX)

        self.drive("click", WRITE)
        self.assertEqual(self.box("yes")[1], "Начать запись ?")
        self.assertEqual(self.box(wait=WHOLE_27C64), OK_BOX, self.board_said())
        self.drive("click", COMPARE)
        self.assertEqual(self.box(wait=WHOLE_27C64), OK_BOX)

        self.assertEqual(self.board.stop(), 0)
        self.assertEqual(self.chip_file.read_bytes()[:8192], image)
        summary = [l for l in self.log.read_text().splitlines() if l.startswith("summary")][-1]
        for clean in ("void_pulses=0", "sequence_faults=0", "contention=0"):
            self.assertIn(clean, summary)


if __name__ == "__main__":
    main()
