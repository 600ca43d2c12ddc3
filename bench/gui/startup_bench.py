#!/usr/bin/python3
"""Start-up time of romprog.exe on a warm Wine prefix: from CreateProcess to
the main window shown, as the driver measures it inside Wine (so the cost of
starting Wine itself for the driver is not counted). Prints the figures.

    bench/gui/startup_bench.py [runs]
"""
import pathlib
import statistics
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tests/wine"))
import wineenv  # noqa: E402


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 10
    env = wineenv.setup()
    drive = wineenv.Driver(env)
    times = []
    try:
        for run in range(runs + 1):
            started = drive("start-timed", wineenv.wine_path(wineenv.program_path()), 20000)
            if run > 0:  # the first run warms the prefix's caches
                times.append(started["ms"])
            drive("wait-window", "main")
            drive("close", "main")
            drive("wait-exit", 10000)
    finally:
        drive.try_call("kill")
        drive.quit()
    print("start-up to main window shown (%d runs, warm prefix): min %d ms, median %d ms, "
          "max %d ms" % (len(times), min(times), statistics.median(times), max(times)))


if __name__ == "__main__":
    main()
