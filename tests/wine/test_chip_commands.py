#!/usr/bin/python3
"""Buttons 4 to 7 of the real program under Wine, against the programmer
emulator (romsim) on a pseudo-terminal mapped as a COM port: the messages the
user gets, the status line and the bar, the listing, and what the chip holds."""
import os
import pathlib
import random
import shutil
import signal
import tempfile
import termios
import time

import romsim
import wineenv
from guitest import ProgramTest, main

ROMSIM = os.environ.get("ROMSIM_BINARY") or str(wineenv.TREE / "build/native/sim/romsim")

BLANK, WRITE, READ, COMPARE = 4, 5, 6, 7
PORTS, CHIPS, ADDRESS, VALUE, BAR = 8, 9, 11, 12, 13
OK_BOX = ("OK !!!", "OK !!!", "information")
NO_REPLY = ("", "Нет ответа от программатора.", "exclamation")
ERROR = "Ошибка !"
SLOW = 20000  # ms; the first box of a fresh program can take a while under Wine
# ms for the whole of a paced 27C64 read (17 s on an idle machine) to end in its box.
READ_27C64 = 60000


def random_bytes(size, seed):
    return random.Random(seed).randbytes(size)


class ChipScenario(ProgramTest):
    """romsim serves one chip; the COM ports in `com_ports` lead to it. The
    program starts after the ports are mapped, as its probe looks only then."""

    com_ports = (1,)
    romsim_args = ()
    chip_content = None  # bytes at the start of the chip; the rest erased

    def setUp(self):
        self.folder = pathlib.Path(tempfile.mkdtemp(prefix="romprog-gui-chip-"))
        self.chip_file = self.folder / "chip.bin"
        if self.chip_content is not None:
            self.chip_file.write_bytes(self.chip_content + b"\xFF" * (32768 - len(self.chip_content)))
        self.line = self.folder / "line"
        self.sim = romsim.start_romsim(ROMSIM, self.chip_file, link_path=self.line,
                                       extra_args=list(self.romsim_args))
        # tearDown does not run when the program fails to start below.
        self.addCleanup(self.sim.stop)
        for n in self.com_ports:
            wineenv.map_com(self.env, n, self.line)
        super().setUp()
        self.assertFalse(self.rts_high(), "RTS high after start-up and port probing")

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.env = romsim.preload_environment(cls.env)  # the program's RTS reaches romsim

    def tearDown(self):
        super().tearDown()
        try:
            if self.sim.running():
                self.assertFalse(self.rts_high(), "RTS left high")
                self.assertEqual(romsim.framing_faults(self.sim.log_lines()), [])
        finally:
            self.sim.stop()
            wineenv.block_com_ports(self.env)
            shutil.rmtree(self.folder, ignore_errors=True)

    # --- what the user does and sees ----------------------------------------

    def box(self, answer="ok", wait=SLOW):
        """The message box that comes up, with the status line under it; then answered."""
        shown = self.drive("msgbox", wait)
        shown["status"] = self.status()
        self.drive("answer", answer)
        return shown

    def assertBox(self, shown, caption, text, icon):
        # romsim's view of the line tells a slow host from a wrong exchange.
        self.assertEqual((shown["caption"], shown["text"], shown["icon"]), (caption, text, icon),
                         "romsim log: %r; stderr: %r" % (self.sim.log_lines(),
                                                         self.sim.stderr_text()))

    def no_box(self, ms=1500):
        self.assertIsNone(self.drive.try_call("msgbox", ms))

    def status(self):
        return (self.drive("text", ADDRESS)["text"], self.drive("text", VALUE)["text"],
                self.drive("state", BAR)["state"])

    def chip_type(self, index):
        self.drive("select-item", CHIPS, index)

    def chip(self):
        return self.chip_file.read_bytes()

    def rts_high(self):
        return bool(self.sim.modem_bits() & romsim.TIOCM_RTS)

    def exchanges(self):
        """romsim's log of exchanges, one line each (RTS edges left out)."""
        time.sleep(0.5)
        return [line for line in self.sim.log_lines() if line.startswith("command=")]

    def load(self, image):
        """Puts `image` into the buffer through the open-file command."""
        source = self.folder / "image.bin"
        source.write_bytes(image)
        self.drive("click", 1)
        self.drive("file-dialog", SLOW)
        self.drive("file-choose", 1, wineenv.wine_path(source))
        self.assertBox(self.box(), *OK_BOX)

    def listing(self, first_row, rows):
        shown = self.drive("rows", first_row, rows)["rows"]
        return bytes(int(cell, 16) for row in shown for cell in row[1:9])


class Complete(ChipScenario):
    def test_blank_check_of_a_blank_chip(self):
        self.drive("click", BLANK)
        shown = self.box()
        self.assertBox(shown, *OK_BOX)
        # The last cell was on screen under the notice; the bar full (101 shows as 100).
        self.assertEqual(shown["status"], ("8191", "255", 100))
        self.assertEqual(self.status(), ("----", "----", 0))
        self.assertTrue(self.exchanges()[-1].startswith("command=0x20 bytes=8192 acks=8192"))

    def test_write_then_read_back_then_compare(self):
        image = random_bytes(16384, 7)
        self.chip_type(1)
        self.load(image)
        self.drive("click", WRITE)
        question = self.box("yes")
        self.assertBox(question, "", "Начать запись ?", "question")
        self.assertEqual([b["text"] for b in question["buttons"]], ["&Yes", "&No"])
        self.assertBox(self.box(), *OK_BOX)
        self.assertEqual(self.chip()[:16384], image)
        self.assertEqual(self.chip()[16384:], b"\xFF" * 16384)

        # A different buffer, then the chip read into it.
        self.chip_type(2)
        self.load(bytes(32768))
        self.chip_type(1)
        self.drive("click", 16)  # the buffer window, to look at the listing
        self.drive("activate", "main")
        self.drive("click", READ)
        shown = self.box()
        self.assertBox(shown, *OK_BOX)
        self.assertEqual(shown["status"], ("16383", str(image[16383]), 100))
        self.assertEqual(self.drive("row-count")["rows"], 2048)
        self.assertEqual(self.listing(0, 16), image[:128])
        self.assertEqual(self.listing(2032, 16), image[-128:])

        self.drive("click", COMPARE)
        self.assertBox(self.box(), *OK_BOX)
        # The 27C256 part above the chip type stayed as loaded.
        self.chip_type(2)
        self.drive("click", COMPARE)
        shown = self.box()
        self.assertBox(shown, ERROR, "Ячейка 16384 содержит 255  (надо 0).", "hand")
        self.assertEqual(shown["status"][:2], ("16384", "Bad"))
        self.assertEqual(self.status(), ("----", "----", 0))


class BadCells(ChipScenario):
    chip_content = b"\xFF" * 10 + b"\xFE"

    def test_blank_check_stops_at_the_first_used_cell(self):
        self.drive("click", BLANK)
        shown = self.box()
        self.assertBox(shown, ERROR, "Ячейка 10 содержит 254  (надо 255).", "hand")
        self.assertEqual(shown["status"][:2], ("10", "254"))
        self.assertEqual(self.status(), ("----", "----", 0))
        self.assertIn("acks=10 ", self.exchanges()[-1])

    def test_compare_meets_a_difference(self):
        self.load(b"\xFF" * 8192)
        self.drive("click", COMPARE)
        shown = self.box()
        self.assertBox(shown, ERROR, "Ячейка 10 содержит 254  (надо 255).", "hand")
        self.assertEqual(shown["status"][:2], ("10", "Bad"))
        self.assertEqual(self.status(), ("----", "----", 0))


class FailingWrite(ChipScenario):
    romsim_args = ("--fail-write-at", "5")

    def test_write_stops_at_the_failed_cell(self):
        image = bytes(range(8)) + b"\x00" * 8184
        self.load(image)
        self.drive("click", WRITE)
        self.box("yes")
        shown = self.box()
        self.assertBox(shown, ERROR, "Ячейка 5 Непрограммируется.", "hand")
        self.assertEqual(shown["status"][:2], ("5", "Плох"))
        self.assertEqual(self.status(), ("----", "----", 0))
        self.assertEqual(self.chip()[:6], bytes(range(5)) + b"\xFF")

    def test_declined_write_sends_nothing(self):
        self.drive("click", WRITE)
        self.assertBox(self.box("no"), "", "Начать запись ?", "question")
        self.no_box()
        self.assertEqual(self.exchanges(), [])
        self.assertEqual([l for l in self.sim.log_lines() if l.startswith("rts")], [])
        self.assertEqual(self.chip(), b"\xFF" * 32768)


class SilentProgrammer(ChipScenario):
    romsim_args = ("--silent-from", "100")
    chip_content = random_bytes(32768, 9)

    def test_read_abandoned_keeps_what_came_and_the_listing_shows_it(self):
        self.chip_type(1)
        self.drive("click", 16)
        self.drive("activate", "main")
        started = time.monotonic()
        self.drive("click", READ)
        shown = self.box()
        self.assertGreaterEqual(time.monotonic() - started, 1.0)
        self.assertBox(shown, *NO_REPLY)
        self.assertEqual(shown["status"][:2], ("99", str(self.chip_content[99])))
        self.assertEqual(self.status()[:2], ("99", str(self.chip_content[99])))
        self.no_box()  # once only
        self.assertEqual(self.drive("row-count")["rows"], 2048)
        self.assertEqual(self.listing(0, 13)[:100], self.chip_content[:100])
        self.assertEqual(self.listing(12, 2)[4:], bytes(12))  # from 100 on: as before


class LateByte(ChipScenario):
    """The programmer's byte of cell 300 comes after the program's wait for it
    has ended: it lands in the port's input queue, where the next read must
    not take it for the reply to its command."""
    romsim_args = ("--late-at", "300")
    chip_content = random_bytes(32768, 12)

    def test_a_read_after_a_late_byte_fills_the_buffer_unshifted(self):
        self.drive("click", 16)
        self.drive("activate", "main")
        self.drive("click", READ)
        shown = self.box()
        self.assertBox(shown, *NO_REPLY)
        self.assertEqual(shown["status"][:2], ("299", str(self.chip_content[299])))
        time.sleep(1.0)  # 1400 ms after it was asked for, the late byte is in
        self.drive("click", READ)
        shown = self.box()
        self.assertBox(shown, *OK_BOX)
        self.assertEqual(shown["status"][:2], ("8191", str(self.chip_content[8191])))
        self.assertEqual(self.listing(0, 16), self.chip_content[:128])
        self.assertEqual(self.listing(1008, 16), self.chip_content[8064:8192])


class SilentAtTheCommand(ChipScenario):
    romsim_args = ("--silent-command",)

    def test_each_command_reports_no_reply_and_leaves_the_status_line(self):
        for button in (BLANK, READ, COMPARE):
            self.drive("click", button)
            self.assertBox(self.box(), *NO_REPLY)
            self.assertEqual(self.status(), ("----", "----", 0))
        self.drive("click", WRITE)
        self.box("yes")
        self.assertBox(self.box(), *NO_REPLY)


class NoPorts(ChipScenario):
    com_ports = ()

    def test_every_command_names_no_port(self):
        self.assertEqual(self.drive("items", PORTS)["items"], [])
        for button in (BLANK, WRITE, READ, COMPARE):
            self.drive("click", button)
            self.assertBox(self.box(), "", "Порт  Не доступен!", "exclamation")
            self.no_box(500)  # the write question never comes
        self.assertEqual(self.exchanges(), [])


class TwoPorts(ChipScenario):
    com_ports = (3, 10)

    def test_both_listed_and_the_second_one_works_then_goes(self):
        self.assertEqual(self.drive("items", PORTS)["items"], ["       COM3", "       COM10"])
        self.assertEqual(self.drive("state", PORTS)["state"], 0)
        self.drive("select-item", PORTS, 1)
        self.drive("click", BLANK)
        self.assertBox(self.box(), *OK_BOX)
        wineenv.unmap_com(self.env, 10)
        self.drive("click", BLANK)
        self.assertBox(self.box(), "", "Порт COM10 Не доступен!", "exclamation")


def program_cpu_seconds(prefix):
    """CPU seconds used so far by the romprog.exe processes of Wine prefix `prefix`."""
    total = 0.0
    for proc in pathlib.Path("/proc").glob("[0-9]*"):
        try:
            if b"romprog.exe" not in (proc / "cmdline").read_bytes():
                continue
            if ("WINEPREFIX=%s" % prefix).encode() not in (proc / "environ").read_bytes().split(b"\0"):
                continue
            fields = (proc / "stat").read_text().rsplit(")", 1)[1].split()
        except OSError:
            continue
        total += (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    return total


class LineSettings(ChipScenario):
    def line_state(self, change=None):
        """The termios state of the emulator's pty (shared by both ends), after `change`."""
        fd = os.open(self.sim.slave, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
        try:
            state = termios.tcgetattr(fd)
            if change:
                change(state)
                termios.tcsetattr(fd, termios.TCSANOW, state)
                state = termios.tcgetattr(fd)
            return state
        finally:
            os.close(fd)

    def test_a_chip_command_sets_9600_8n1_without_flow_control(self):
        def spoil(state):
            state[0] |= termios.IXON | termios.IXOFF
            state[2] = (state[2] & ~termios.CSIZE) | termios.CS7 | termios.PARENB | termios.CSTOPB
            state[2] |= termios.CRTSCTS
            state[4] = state[5] = termios.B2400
        spoiled = self.line_state(spoil)
        self.assertEqual(spoiled[4], termios.B2400)  # the change took
        self.drive("click", BLANK)
        self.assertBox(self.box(), *OK_BOX)
        iflag, _, cflag, _, ispeed, ospeed, _ = self.line_state()
        self.assertEqual((ispeed, ospeed), (termios.B9600, termios.B9600))
        self.assertEqual(cflag & termios.CSIZE, termios.CS8)
        self.assertEqual(cflag & (termios.PARENB | termios.CSTOPB | termios.CRTSCTS), 0)
        self.assertEqual(iflag & (termios.IXON | termios.IXOFF), 0)


class VanishingProgrammer(ChipScenario):
    romsim_args = ("--pace", "9600")

    def test_a_programmer_gone_mid_read_ends_it_after_a_second_without_spinning(self):
        self.chip_type(2)
        self.drive("click", READ)
        time.sleep(1.5)
        cpu = program_cpu_seconds(self.env["WINEPREFIX"])
        started = time.monotonic()
        self.sim.process.send_signal(signal.SIGKILL)  # the line's other end is gone
        shown = self.drive("msgbox", SLOW)
        waited = time.monotonic() - started
        cpu = program_cpu_seconds(self.env["WINEPREFIX"]) - cpu
        shown["status"] = self.status()
        self.drive("answer", "ok")
        self.assertBox(shown, *NO_REPLY)
        self.assertGreater(int(shown["status"][0]), 100)
        self.assertEqual(shown["status"][1], "255")
        # Waiting is not working: most of that second the program sleeps.
        self.assertLess(cpu, 0.4 * waited, "CPU %.2f s in a wait of %.2f s" % (cpu, waited))
        self.no_box()
        self.drive("click", BLANK)
        self.assertBox(self.box(), "", "Порт COM1 Не доступен!", "exclamation")


class Busy(ChipScenario):
    romsim_args = ("--pace", "9600")

    def test_the_windows_keep_painting_and_take_no_input_while_reading(self):
        self.drive("click", 16)
        self.drive("activate", "main")
        self.drive("click", READ)
        seen = []
        for _ in range(5):
            time.sleep(0.7)
            answered = time.monotonic()
            seen.append(self.status())
            # The program answers at once: it is not hanging.
            self.assertLess(time.monotonic() - answered, 1.0)
        addresses = [int(address) for address, _, _ in seen]
        self.assertEqual(addresses, sorted(addresses))
        # About 480 cells a second on the paced line; a loaded machine may
        # halve that, while a program that stopped reading shows none.
        self.assertGreater(addresses[-1] - addresses[0], 300)
        self.assertGreater(seen[-1][2], seen[0][2])
        # Both windows take no input meanwhile: a click on the help toggle is lost.
        self.assertFalse(self.program.geometry("main")["enabled"])
        self.assertFalse(self.program.geometry("buffer")["enabled"])
        self.drive("click", 15)
        self.assertEqual(self.program.geometry("main")["h"], 169)
        self.assertBox(self.box(wait=READ_27C64), *OK_BOX)
        self.assertEqual(self.drive("state", 15)["state"], 0)
        self.assertEqual(self.program.geometry("main")["h"], 169)

    def test_a_close_request_during_a_read_ends_the_program_after_it(self):
        self.drive("click", READ)
        time.sleep(1.0)
        self.drive("close", "main")
        time.sleep(0.5)
        self.assertGreater(int(self.status()[0]), 0)  # still reading
        shown = self.box(wait=READ_27C64)
        self.assertBox(shown, *OK_BOX)
        self.assertEqual(shown["status"][0], "8191")
        self.assertEqual(self.drive("wait-exit", 10000)["code"], 0)
        self.program.exit_code = 0


if __name__ == "__main__":
    main()
