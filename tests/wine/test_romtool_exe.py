#!/usr/bin/python3
"""romtool.exe under Wine against romsim on a pty mapped as COM1: the Win32
serial port code of the command-line tool, with the exit codes users script
against."""
import hashlib
import os
import pathlib
import random
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zlib

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "wine"))
import romsim  # noqa: E402
import wineenv  # noqa: E402

ROMSIM = os.environ.get("ROMSIM_BINARY") or str(wineenv.TREE / "build/native/sim/romsim")


class RomtoolExe(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.env = romsim.preload_environment(wineenv.setup())  # its RTS reaches romsim

    def setUp(self):
        self.folder = pathlib.Path(tempfile.mkdtemp(prefix="romtool-exe-"))
        self.chip_file = self.folder / "chip.bin"
        self.sim = romsim.start_romsim(ROMSIM, self.chip_file, link_path=self.folder / "line")
        self.addCleanup(self.sim.stop)
        wineenv.map_com(self.env, 1, self.folder / "line")

    def tearDown(self):
        try:
            self.assertFalse(self.sim.modem_bits() & romsim.TIOCM_RTS, "RTS left high")
            self.assertEqual(romsim.framing_faults(self.sim.log_lines()), [])
        finally:
            self.sim.stop()
            wineenv.block_com_ports(self.env)
            shutil.rmtree(self.folder, ignore_errors=True)

    def romtool(self, *args):
        run = subprocess.run(wineenv.wine_command(self.env, wineenv.romtool_path(self.env), *args),
                             env=self.env, capture_output=True, timeout=120)
        return run.returncode, romsim.without_preload_notes(
            (run.stdout + run.stderr).decode("utf-8", "replace"))

    def file(self, name, data=None):
        path = self.folder / name
        if data is not None:
            path.write_bytes(data)
        return wineenv.wine_path(path)

    def chip(self):
        time.sleep(0.5)  # romsim saves the chip once the line is quiet
        return self.chip_file.read_bytes()

    def test_ports_lists_only_the_mapped_one(self):
        code, said = self.romtool("ports")
        self.assertEqual((code, said.split()), (0, ["COM1"]), said)

    def test_write_read_verify_through_com1(self):
        image = random.Random(5).randbytes(16384)
        code, said = self.romtool("write", "-p", "COM1", "-c", "27C128", self.file("in.bin", image))
        self.assertEqual(code, 0, said)
        self.assertEqual(self.chip()[:16384], image)
        code, said = self.romtool("read", "-p", "COM1", "-c", "27C128", self.file("out.hex"))
        self.assertEqual(code, 0, said)
        code, said = self.romtool("convert", self.file("out.hex"), self.file("out.bin"), "-c",
                                  "27C128")
        self.assertEqual(code, 0, said)
        self.assertEqual((self.folder / "out.bin").read_bytes(), image)
        changed = bytearray(image)
        changed[300] ^= 0x01
        code, said = self.romtool("verify", "-p", "COM1", "-c", "27C128",
                                  self.file("changed.bin", bytes(changed)))
        self.assertEqual(code, 1, said)
        self.assertIn("300", said)

    def test_rescue_read_check_and_map(self):
        """A 27C64 with weak bits and D3 stuck at 1: the passes merge into the
        chip (bit 3 set), the file is not written (exit 4), check names D3 and
        map writes a PNG."""
        image = random.Random(25).randbytes(8192)
        self.sim.stop()
        self.chip_file.write_bytes(image + b"\xff" * (32768 - 8192))
        self.sim = romsim.start_romsim(ROMSIM, self.chip_file, link_path=self.folder / "line",
                                       extra_args=["--weak-bits", "10:0.5:2",
                                                   "--stuck-data-bit", "3:1"])
        code, said = self.romtool("read", "-p", "COM1", "-c", "27C64", "--passes", "12",
                                  self.file("rom.bin"))
        self.assertEqual(code, 4, said)
        self.assertFalse((self.folder / "rom.bin").exists())
        merged = (self.folder / "rom.merged.bin").read_bytes()
        self.assertEqual(merged, bytes(b | 0x08 for b in image))
        self.assertIn("unstable", (self.folder / "rom.unstable.txt").read_text())
        code, said = self.romtool("check", "-c", "27C64", self.file("rom.merged.bin"))
        self.assertEqual(code, 0, said)
        self.assertIn("data bit 3 (D3) reads 1 in all 8192 cells", said)
        code, said = self.romtool("map", "-c", "27C64", self.file("rom.merged.bin"), "--png",
                                  self.file("rom.png"))
        self.assertEqual(code, 0, said)
        self.assertEqual((self.folder / "rom.png").read_bytes()[:8], b"\x89PNG\r\n\x1a\n")

    def test_a_port_that_is_not_there_and_a_chip_that_does_not_answer(self):
        code, said = self.romtool("blank", "-p", "COM2", "-c", "27C64")
        self.assertEqual(code, 3, said)
        self.assertIn("COM2", said)
        # A file behind a COM name has no line state: it is no port and gets no byte.
        image = random.Random(6).randbytes(8192)
        self.file("rom6502.bin", image)
        wineenv.map_com(self.env, 2, self.folder / "rom6502.bin")
        code, said = self.romtool("blank", "-p", "COM2", "-c", "27C64")
        self.assertEqual(code, 3, said)
        self.assertIn("COM2 is not a serial port", said)
        self.assertEqual((self.folder / "rom6502.bin").read_bytes(), image)
        self.sim.stop()
        self.sim = romsim.start_romsim(ROMSIM, self.chip_file, link_path=self.folder / "line",
                                       extra_args=["--silent-command"])
        code, said = self.romtool("blank", "-p", "COM1", "-c", "27C64")
        self.assertEqual(code, 3, said)


    def test_ident_names_a_dump_and_its_odd_chip_and_no_near_miss(self):
        image = random.Random(25).randbytes(32768)

        def rom(name, data):
            return '<rom name="%s" size="%d" crc="%08x" sha1="%s"/>' % (
                name, len(data), zlib.crc32(data), hashlib.sha1(data).hexdigest())

        dat = self.file("g.dat", ('<?xml version="1.0"?>\n<datafile><game name="g"><description>G'
                                  '</description>%s%s</game></datafile>\n'
                                  % (rom("g.bin", image), rom("g.u2", image[1::2]))).encode())
        code, said = self.romtool("ident", self.file("dump.bin", image), "--dat", dat)
        self.assertEqual(code, 0, said)
        self.assertIn("as is = g.bin of g (G): CRC-32 and SHA-1 agree", said)
        self.assertIn("odd bytes = g.u2 of g (G): CRC-32 and SHA-1 agree", said)
        near = bytearray(image)
        near[5] ^= 0x80  # an odd byte: neither the whole nor the odd chip matches
        code, said = self.romtool("ident", self.file("near.bin", bytes(near)), "--dat", dat)
        self.assertEqual(code, 9, said)
        self.assertIn("no match", said)

if __name__ == "__main__":
    unittest.main(verbosity=2)
