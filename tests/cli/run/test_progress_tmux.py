#!/usr/bin/python3
"""romtool's progress in a real terminal: tmux at 60, 80 and 120 columns,
four romsims on ptys named as long as /dev/serial/by-id names are, and what
the pane shows while a write runs and once it ends."""
import os
import pathlib
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "wine"))
import romsim  # noqa: E402

TREE = pathlib.Path(__file__).resolve().parents[3]
ROMTOOL = os.environ.get("ROMTOOL_BINARY") or str(TREE / "build/native/cli/romtool")
ROMSIM = os.environ.get("ROMSIM_BINARY") or str(TREE / "build/native/sim/romsim")
LINES64 = os.environ.get("ROMSIM_LINES64") or str(
    TREE / "build/native/sim/lines64/libromsim_lines.so")

JOB_LINE = re.compile(r"^(\S+): (?:(check|write|verify) ([1-3])/3 .*\d+%.* left|ok, [\d.]+ s)$")
SUMMARY = re.compile(r"^4 ports: 4 ok, 0 failed; [\d.]+ s$")
LEFT = re.compile(r"(\d+):(\d\d) left")


class Pane:
    """A tmux session of its own (its own server socket) running one command."""

    def __init__(self, folder, width, command, env):
        self.socket = str(folder / "tmux.sock")
        script = folder / "run.sh"
        script.write_text("%s\necho EXIT=$?\nsleep 600\n" % command)
        subprocess.run(["tmux", "-S", self.socket, "-f", "/dev/null", "new-session", "-d", "-x",
                        str(width), "-y", "40", "bash " + str(script)], env=env, check=True)

    def lines(self):
        text = subprocess.run(["tmux", "-S", self.socket, "capture-pane", "-p"],
                              capture_output=True, text=True).stdout
        return [line for line in romsim.without_preload_notes(text).split("\n") if line.strip()]

    def keys(self, *keys):
        subprocess.run(["tmux", "-S", self.socket, "send-keys"] + list(keys), check=True)

    def close(self):
        subprocess.run(["tmux", "-S", self.socket, "kill-server"], capture_output=True)


class ProgressInTmux(unittest.TestCase):
    def setUp(self):
        self.folder = pathlib.Path(tempfile.mkdtemp(prefix="romtool-tmux-"))
        # The 64-bit modem-lines library alone: the loader's note on the other
        # build would wrap in the pane.
        self.env = dict(os.environ, XDG_DATA_HOME=str(self.folder / "data"), LD_PRELOAD=LINES64)
        self.env.pop("COLUMNS", None)
        self.image = self.folder / "rom.bin"
        self.image.write_bytes(bytes(random.Random(24).randrange(255) for _ in range(8192)))
        self.sims = []
        self.panes = []

    def tearDown(self):
        for pane in self.panes:
            pane.close()
        for sim in self.sims:
            sim.stop()
        shutil.rmtree(self.folder, ignore_errors=True)

    def ports(self, count, pace, run="run"):
        byid = self.folder / run / "serial" / "by-id"
        byid.mkdir(parents=True, exist_ok=True)
        names = []
        for k in range(count):
            link = byid / ("usb-FTDI_FT232R_USB_UART_A10KX2B%d-if00-port0" % k)
            paced = ["--pace", str(pace)] if pace else []
            self.sims.append(romsim.start_romsim(ROMSIM, self.folder / run / ("chip%d.bin" % k), link,
                                                 paced))
            names.append(str(link))
        return names

    def run_write(self, width, ports, watch):
        """romtool write on `ports` in a pane `width` wide; `watch(lines, now, pane)`
        sees every capture until the command ends. The last capture."""
        command = " ".join([ROMTOOL, "write", "-c", "27C64"] + ["-p " + p for p in ports] +
                           [str(self.image)])
        return self.run_in_pane(width, command, watch)

    def run_in_pane(self, width, command, watch):
        pane = Pane(self.folder, width, command, self.env)
        self.panes.append(pane)
        deadline = time.monotonic() + 240
        while time.monotonic() < deadline:
            lines = pane.lines()
            now = time.monotonic()
            if any(line.startswith("EXIT=") for line in lines):
                return lines, now
            watch(lines, now, pane)
            time.sleep(0.2)
        self.fail("romtool did not end: %r" % pane.lines())

    def test_four_ports_redraw_in_place_at_every_width(self):
        for width in (60, 80, 120):
            with self.subTest(width=width):
                ports = self.ports(4, 38400, "w%d" % width)  # blank chips each time
                # A port yet to start shows its name, whole where it fits, else
                # its end, which tells the adapters apart.
                waiting = set(ports) | {pathlib.Path(p).name for p in ports}
                steps = set()

                def watch(lines, now, pane):
                    jobs = [l for l in lines if JOB_LINE.match(l)]
                    shown = len(jobs) + len([l for l in lines if l in waiting])
                    # A line that wrapped or scrolled shows as more than four.
                    self.assertLessEqual(shown, 4, lines)
                    if any(l.endswith(" s") for l in jobs):
                        return  # a port has ended: its messages may wrap
                    self.assertEqual(shown, len(lines), lines)
                    for line in lines:
                        self.assertLess(len(line), width, lines)
                    steps.update(JOB_LINE.match(l).group(2) for l in jobs)

                lines, _ = self.run_write(width, ports, watch)
                self.assertEqual(steps, {"check", "write", "verify"})
                jobs = [l for l in lines if JOB_LINE.match(l)]
                self.assertEqual(len(jobs), 4, lines)
                self.assertTrue(all(re.search(r": ok, [\d.]+ s$", l) for l in jobs), lines)
                self.assertEqual(len([l for l in lines if SUMMARY.match(l)]), 1, lines)
                self.assertIn("EXIT=0", lines)
                self.panes.pop().close()
                for sim in self.sims:
                    sim.stop()
                self.sims = []

    def test_time_left_at_the_start_of_a_paced_write(self):
        ports = self.ports(1, 9600)
        first = []

        def watch(lines, now, pane):
            for line in lines:
                found = LEFT.search(line)
                if found and not first:
                    first.append((int(found.group(1)) * 60 + int(found.group(2)), now, line))

        _, ended = self.run_write(120, ports, watch)
        self.assertTrue(first, "no time left was shown")
        left, seen, line = first[0]
        real = ended - seen
        print("time left %d s shown at the start (%r); the job took %.1f s more" % (left, line, real))
        self.assertLess(abs(left - real), 0.15 * real, line)
        self.assertIn("check 1/3", line)

    def test_repeat_with_the_image_on_standard_input_asks_the_terminal(self):
        ports = self.ports(1, 0)
        answered = []

        def watch(lines, now, pane):
            if not answered and any(l.startswith("put the next chip in") for l in lines):
                answered.append(now)
                pane.keys("Enter")

        command = "cat %s | %s write --repeat 2 -p %s -c 27C64 -" % (self.image, ROMTOOL, ports[0])
        lines, _ = self.run_in_pane(120, command, watch)
        self.assertEqual(len(answered), 1, lines)
        self.assertIn("EXIT=0", lines)
        self.assertTrue(any(l.startswith("2 chips: 2 ok, 0 failed") for l in lines), lines)


if __name__ == "__main__":
    unittest.main()
