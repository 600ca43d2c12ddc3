#!/usr/bin/python3
"""Chip-link benchmarks under Wine against romsim on a pseudo-terminal.

1. Unpaced 27C256 read: the host time per byte of a whole ReadChip (windows,
   status line, real serial port: read_bench.exe) against bare round-trip
   loops on the same pty in the same run: line_bench.exe (the Win32 line alone
   under Wine) and, when it is built, the native bench/pty_roundtrip.
2. Paced at 9600 baud, a 27C64 read: total time against the line limit of
   8193 byte pairs x 20 bit times.
3. The CPU time the program used during (2), against the wall time.
Also: the wait for a reply byte by spinning on the queue count (as the line
was first written) against the blocking reads the program uses.

Prints figures; passes no judgement beyond printing the targets next to them.

  bench/chip/chip_bench.py [--win32 build/win32] [--native build/native] [--runs 5]
Environment: ROMPROG_WINEPREFIX, ROMPROG_DISPLAY as for the GUI tests.
"""
import argparse
import os
import pathlib
import re
import statistics
import subprocess
import sys
import tempfile
import time

TREE = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(TREE / "tests/wine"))
import wineenv  # noqa: E402

LINE_LIMIT_27C64 = 8193 * 20 / 9600  # seconds


class Romsim:
    def __init__(self, binary, folder, args=()):
        self.link = folder / "line"
        self.process = subprocess.Popen(
            [str(binary), "--chip", str(folder / "chip.bin"), "--link", str(self.link), *args],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
        self.slave = self.process.stdout.readline().decode().strip()
        if not self.slave:
            raise RuntimeError("romsim did not start")

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        self.process.stdout.close()


def wineserver_cpu(env):
    """CPU seconds of the wineserver of our prefix (it does part of every call)."""
    total = 0.0
    for stat in pathlib.Path("/proc").glob("[0-9]*/stat"):
        try:
            fields = stat.read_text().rsplit(")", 1)[1].split()
            if "wineserver" not in (stat.parent / "comm").read_text():
                continue
            environ = (stat.parent / "environ").read_bytes().split(b"\0")
        except OSError:
            continue
        if ("WINEPREFIX=" + env["WINEPREFIX"]).encode() in environ:
            total += (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    return total


def run_wine(env, exe, *args):
    out = subprocess.run(["wine", str(exe), *map(str, args)], env=env, capture_output=True,
                         text=True, timeout=600)
    return out.stdout


def figures(pattern, text):
    return [tuple(float(v) for v in m) for m in re.findall(pattern, text)]


def per_byte_line(env, line_bench, mode, pages=0x80):
    found = figures(r"%s\s+bytes\s+\d+\s+wall\s+([\d.]+) s\s+per byte\s+([\d.]+) us\s+cpu\s+([\d.-]+)"
                    % mode, run_wine(env, line_bench, "COM1", pages, mode))
    return found[0] if found else None


def read_command(env, read_bench, chip):
    text = run_wine(env, read_bench, chip, 1)
    found = figures(r"read ok bytes \d+\s+wall ([\d.]+) s\s+per byte ([\d.]+) us\s+cpu ([\d.]+) s"
                    r".*status updates (\d+)", text)
    if not found:
        raise RuntimeError("read_bench failed: " + text)
    return found[0]


def native_round_trip(native, slave):
    tool = native / "bench/pty_roundtrip"
    if not tool.exists():
        return None
    out = subprocess.run([str(tool), "--slave", slave], capture_output=True, text=True,
                         timeout=300).stdout
    found = re.findall(r"([\d.]+) us per byte", out)
    return float(found[-1]) if found else None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--win32", default=str(TREE / "build/win32"))
    parser.add_argument("--native", default=str(TREE / "build/native"))
    parser.add_argument("--runs", type=int, default=5)
    options = parser.parse_args()
    win32, native = pathlib.Path(options.win32), pathlib.Path(options.native)
    line_bench = win32 / "bench/chip/line_bench.exe"
    read_bench = win32 / "bench/chip/read_bench.exe"
    romsim = native / "sim/romsim"

    env = wineenv.setup()
    folder = pathlib.Path(tempfile.mkdtemp(prefix="romprog-chip-bench-"))
    try:
        print("== 1. unpaced 27C256 read, host time per byte (%d runs, interleaved)"
              % options.runs)
        sim = Romsim(romsim, folder)
        wineenv.map_com(env, 1, sim.link)
        bare, command, native_bare, status_updates = [], [], [], []
        for _ in range(options.runs):
            bare.append(per_byte_line(env, line_bench, "block")[1])
            wall, us, cpu, updates = read_command(env, read_bench, 2)
            command.append(us)
            status_updates.append(updates)
            n = native_round_trip(native, sim.slave)
            if n is not None:
                native_bare.append(n)
        spin = [per_byte_line(env, line_bench, "spin") for _ in range(2)]
        sim.stop()
        print("  ReadChip (read_bench.exe)     %s us/byte, median %.1f"
              % (" ".join("%.1f" % v for v in command), statistics.median(command)))
        print("  bare loop under Wine          %s us/byte, median %.1f"
              % (" ".join("%.1f" % v for v in bare), statistics.median(bare)))
        print("  ratio to the Wine loop        %.2f (median of the run pairs: %.2f)"
              % (statistics.median(command) / statistics.median(bare),
                 statistics.median(c / b for c, b in zip(command, bare))))
        if native_bare:
            print("  bare native loop (pty_roundtrip) %s us/byte, median %.1f"
                  % (" ".join("%.1f" % v for v in native_bare), statistics.median(native_bare)))
            print("  ratio to the native loop      %.2f   (target <= 1.25)"
                  % (statistics.median(command) / statistics.median(native_bare)))
        print("  status line written %d times a read of 32768 cells"
              % statistics.median(status_updates))
        print("  spinning wait for comparison: %s us/byte, CPU %s of wall"
              % (" ".join("%.1f" % s[1] for s in spin if s),
                 " ".join("%.0f%%" % (100 * s[2] / s[0]) for s in spin if s)))

        print("== 2./3. 27C64 read paced at 9600 baud")
        sim = Romsim(romsim, folder, ("--pace", "9600"))
        wineenv.map_com(env, 1, sim.link)
        server0 = wineserver_cpu(env)
        started = time.monotonic()
        wall, us, cpu, updates = read_command(env, read_bench, 0)
        elapsed = time.monotonic() - started
        server = wineserver_cpu(env) - server0
        # The same read by the bare loop: what the pty and the emulator's
        # pacing cost on their own, with no program around the line.
        bare_paced = per_byte_line(env, line_bench, "block", 0x20)
        sim.stop()
        print("  read time %.3f s, line limit %.3f s, ratio %.4f (target <= 1.02)"
              % (wall, LINE_LIMIT_27C64, wall / LINE_LIMIT_27C64))
        if bare_paced:
            print("  bare loop under Wine on the same paced line %.3f s, ratio %.4f; "
                  "program / bare loop %.4f" % (bare_paced[0], bare_paced[0] / LINE_LIMIT_27C64,
                                                wall / bare_paced[0]))
        print("  program CPU %.3f s = %.1f%% of the read (target <= 10%%); wineserver %.3f s "
              "over the whole %.1f s run" % (cpu, 100 * cpu / wall, server, elapsed))
        print("  status line written %d times" % updates)
    finally:
        wineenv.block_com_ports(env)
        subprocess.run(["rm", "-rf", str(folder)])


if __name__ == "__main__":
    main()
