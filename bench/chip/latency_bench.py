#!/usr/bin/python3
"""A USB-serial adapter's latency timer against the line: a 27C64 read paced at
9600 baud (romsim --pace 9600) with romsim's emulated timer at 16 ms and at
1 ms, through romtool with and without the low-latency request (the request
reaches romsim only through the modem-lines library, as it reaches ftdi_sio),
and through romprog.exe under Wine (which makes no request).

Each figure stands next to the line limit (8193 byte pairs x 20 bit times,
17.07 s) and the floor the timer sets: the line limit plus, for each of the
8192 answers the host waits for, the timer's wait (the whole timer in the
emulation: every answer enters an empty adapter buffer).

  bench/chip/latency_bench.py [--native build/native]
Environment: ROMPROG_WINEPREFIX, ROMPROG_DISPLAY, ROMPROG_EXE as for the GUI tests.
"""
import argparse
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

TREE = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(TREE / "tests/wine"))
import romsim  # noqa: E402
import wineenv  # noqa: E402

LINE_LIMIT = 8193 * 20 / 9600  # seconds
WAITS = 8192  # answers the host waits for: the command reply comes with cell 0
READ_BUTTON = 6


def floor(timer_ms):
    return LINE_LIMIT + WAITS * timer_ms / 1000


def report(label, seconds, timer_ms):
    print("  %-44s %7.2f s   line limit %.2f s (%.2fx)   timer floor %.2f s (%.3fx)"
          % (label, seconds, LINE_LIMIT, seconds / LINE_LIMIT, floor(timer_ms),
             seconds / floor(timer_ms)))


def romtool_read(native, folder, timer_ms, low_latency):
    sim = romsim.start_romsim(native / "sim/romsim", folder / "chip.bin",
                              extra_args=["--pace", "9600", "--latency-ms", timer_ms])
    env = romsim.preload_environment(os.environ) if low_latency else dict(os.environ)
    try:
        started = time.monotonic()
        run = subprocess.run([str(native / "cli/romtool"), "read", "-p", sim.slave, "-c", "27C64",
                              "-v", str(folder / "out.bin")], env=env, capture_output=True,
                             text=True, timeout=600)
        took = time.monotonic() - started
        said = [l for l in run.stderr.splitlines() if l.startswith("low-latency")]
        if run.returncode != 0:
            raise RuntimeError("romtool read failed: " + run.stderr)
        return took, said[0] if said else ""
    finally:
        sim.stop()


def romprog_read(env, native, folder, timer_ms):
    sim = romsim.start_romsim(native / "sim/romsim", folder / "chip.bin",
                              link_path=folder / "line",
                              extra_args=["--pace", "9600", "--latency-ms", timer_ms])
    wineenv.map_com(env, 1, folder / "line")
    program = wineenv.Program(env)
    try:
        started = time.monotonic()
        program.drive("click", READ_BUTTON)
        program.drive("msgbox", 600000)
        took = time.monotonic() - started
        program.drive("answer", "ok")
        return took
    finally:
        program.stop()
        sim.stop()
        wineenv.block_com_ports(env)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--native", default=str(TREE / "build/native"))
    options = parser.parse_args()
    native = pathlib.Path(options.native)
    folder = pathlib.Path(tempfile.mkdtemp(prefix="romprog-latency-bench-"))
    try:
        print("== 27C64 read paced at 9600 baud behind an adapter's latency timer")
        for timer in (16, 1):
            took, said = romtool_read(native, folder, timer, False)
            report("romtool, no low-latency request, %d ms" % timer, took, timer)
        took, said = romtool_read(native, folder, 16, True)
        print("  (romtool -v: %s)" % said)
        report("romtool, low-latency request, from 16 ms", took, 1)
        env = romsim.preload_environment(wineenv.setup())
        for timer in (16, 1):
            report("romprog.exe under Wine, %d ms" % timer, romprog_read(env, native, folder, timer),
                   timer)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
