#!/usr/bin/python3
"""The romsim helper of the GUI tests, natively: it starts romsim, hands out a
working line, reads its log, stops it with the chip saved, and says why when
romsim cannot start.   romsim_check.py ROMSIM_BINARY"""
import os
import pathlib
import select
import sys
import tempfile
import termios
import time
import tty
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import romsim  # noqa: E402

BINARY = None


class Line:
    """The host's end: the slave opened raw without making it our terminal."""

    def __init__(self, path):
        self.fd = os.open(path, os.O_RDWR | os.O_NOCTTY)
        tty.setraw(self.fd, termios.TCSANOW)

    def send(self, byte):
        os.write(self.fd, bytes([byte]))

    def read(self, timeout=1.0):
        if not select.select([self.fd], [], [], timeout)[0]:
            return None
        return os.read(self.fd, 1)[0]

    def close(self):
        os.close(self.fd)


class RomsimHelper(unittest.TestCase):
    def setUp(self):
        self.folder = pathlib.Path(tempfile.mkdtemp(prefix="romsim-check-"))
        self.chip = self.folder / "chip.bin"

    def tearDown(self):
        for f in self.folder.iterdir():
            f.unlink()
        self.folder.rmdir()

    def test_line_log_and_saved_chip(self):
        link = self.folder / "com1"
        sim = romsim.start_romsim(BINARY, self.chip, link_path=link,
                                  extra_args=["--silence-ms", "100"])
        self.assertTrue(sim.running())
        self.assertEqual(os.readlink(link), sim.slave)
        self.assertEqual(sim.link, str(link))
        line = Line(sim.link)
        line.send(0x21)
        self.assertEqual(line.read(), 0x00)
        for value in (0x0D, 0x0A, 0x13):
            line.send(value)
            self.assertEqual(line.read(), 0xAA)
        time.sleep(0.3)
        self.assertEqual(sim.log_lines(),
                         ["command=0x21 bytes=3 acks=3 ending=silence address=3 programmed=3"])
        line.close()
        self.assertEqual(sim.stop(), 0)
        self.assertEqual(sim.stop(), 0, "a second stop is harmless")
        self.assertFalse(link.exists())
        self.assertEqual(self.chip.read_bytes()[:4], b"\x0D\x0A\x13\xFF")
        self.assertEqual(len(self.chip.read_bytes()), 32768)
        self.assertEqual(len(sim.log_lines()), 1, "the log outlives the process")

    def test_own_log_file_and_fault_options_pass_through(self):
        log = self.folder / "mine.log"
        with romsim.start_romsim(BINARY, self.chip, extra_args=["--log", log, "--silent-command"]) as sim:
            line = Line(sim.slave)
            line.send(0x20)
            self.assertIsNone(line.read(0.5))
            line.close()
            self.assertEqual(sim.log_path, str(log))
            self.assertEqual(sim.log_lines(),
                             ["command=0x20 bytes=0 acks=0 ending=no-reply address=0 programmed=0"])
        self.assertFalse(sim.running())

    def test_a_romsim_that_cannot_start_says_why(self):
        self.chip.write_bytes(b"short")
        with self.assertRaises(RuntimeError) as caught:
            romsim.start_romsim(BINARY, self.chip)
        self.assertIn("32768", str(caught.exception))
        with self.assertRaises(RuntimeError) as caught:
            romsim.start_romsim(BINARY, self.folder / "c.bin", extra_args=["--pace", "x"])
        self.assertIn("--pace", str(caught.exception))


if __name__ == "__main__":
    BINARY = sys.argv.pop(1)
    unittest.main()
