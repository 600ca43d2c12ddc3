#!/usr/bin/env python3
"""The programmer firmware on the simulated board (romboard) against the line.

Prints, for a 27C64:
- the firmware's own time per written cell in simulated time (from the host's
  byte in the UART to the answer written to it: pulses, verifies, supplies,
  final read), for cells needing 1 pulse and 1 to 4 pulses, next to the
  9600-baud line's 1.04 ms per byte;
- the wall time of a write pass and a read through romtool against romboard
  at the real line rate (--speed 1), against romsim paced to 9600 baud and
  against romsim unpaced.

Run from the source tree after a native build:
    /usr/bin/python3 bench/firmware/board_bench.py
"""
import os
import re
import subprocess
import sys
import tempfile
import time

TREE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(TREE, "bench"))
from tests_helpers import romsim  # noqa: E402

BUILD = os.path.join(TREE, "build", "native")
ROMBOARD = os.path.join(BUILD, "firmware", "romboard")
ROMSIM = os.path.join(BUILD, "sim", "romsim")
ROMTOOL = os.path.join(BUILD, "cli", "romtool")
LINES = os.path.join(BUILD, "sim", "lines64", "libromsim_lines.so")
LINE_MS_PER_BYTE = 10 / 9600 * 1000


def romtool(args):
    env = dict(os.environ, LD_PRELOAD=LINES)
    began = time.monotonic()
    run = subprocess.run([ROMTOOL] + args + ["-q"], env=env, capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit(f"romtool {' '.join(args)} failed: {run.stderr}")
    return time.monotonic() - began


def figures(log):
    with open(log) as f:
        summary = [line for line in f if line.startswith("summary")][-1]
    return {k: float(v) for k, v in re.findall(r"(\w+)=([0-9.]+)", summary)}


def timed_pair(binary, chip, args, image, out):
    with romsim.start_romsim(binary, chip, extra_args=args) as sim:
        write = romtool(["write", "-p", sim.slave, "-c", "27C64", "--no-precheck", "--no-verify",
                         image])
        read = romtool(["read", "-p", sim.slave, "-c", "27C64", out])
    return write, read


def main():
    for path in (ROMBOARD, ROMSIM, ROMTOOL, LINES):
        if not os.path.exists(path):
            sys.exit(f"missing {path}: build the native tree first")
    with tempfile.TemporaryDirectory() as tmp:
        image = os.path.join(tmp, "image.bin")
        with open(image, "wb") as f:
            f.write(os.urandom(8192))
        out = os.path.join(tmp, "back.bin")
        print(f"line: {LINE_MS_PER_BYTE:.3f} ms per byte at 9600 baud, "
              f"{2 * LINE_MS_PER_BYTE:.2f} ms per cell (byte and answer)")
        print("\nfirmware time per written cell (simulated time, from the byte's arrival "
              "to the answer):")
        walls = {}
        for pulses in (1, 4):
            log = os.path.join(tmp, f"board{pulses}.log")
            chip = os.path.join(tmp, f"chip{pulses}.bin")
            args = ["--erase", "--socket", "27C64", "--log", log, "--max-pulses", str(pulses),
                    "--speed", "1"]
            walls[pulses] = timed_pair(ROMBOARD, chip, args, image, out)
            f = figures(log)
            per_cell = f["pulses"] / max(1, f["written"])
            print(f"  cells needing 1..{pulses} pulses: mean {f['written_us_mean'] / 1000:.3f} ms, "
                  f"max {f['written_us_max'] / 1000:.3f} ms, {per_cell:.2f} pulses a cell "
                  f"({f['written']:.0f} cells programmed; line byte {LINE_MS_PER_BYTE:.3f} ms)")
        print("\nwall time of a 27C64 through romtool (write pass, then read):")
        print(f"  romboard --speed 1 (1 pulse a cell):   write {walls[1][0]:6.2f} s  "
              f"read {walls[1][1]:6.2f} s")
        print(f"  romboard --speed 1 (1..4 pulses):      write {walls[4][0]:6.2f} s  "
              f"read {walls[4][1]:6.2f} s")
        for label, args in (("romsim --pace 9600", ["--pace", "9600"]), ("romsim unpaced", [])):
            chip = os.path.join(tmp, f"romsim{len(args)}.bin")
            write, read = timed_pair(ROMSIM, chip, args, image, out)
            print(f"  {label + ':':38s} write {write:6.2f} s  read {read:6.2f} s")
        print(f"  line limit (8192 x {2 * LINE_MS_PER_BYTE:.2f} ms):             "
              f"{8192 * 2 * LINE_MS_PER_BYTE / 1000:6.2f} s")


if __name__ == "__main__":
    main()
