"""The Wine tests' Python helpers for the benchmarks: `romsim` starts and
stops the emulator, `wineenv` the Wine prefix, the display and the programs
under Wine. This is the one place that knows where the tests keep them.

    sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
    from tests_helpers import romsim, wineenv
"""
import pathlib
import sys

TREE = pathlib.Path(__file__).resolve().parents[1]
sys.path.insert(0, str(TREE / "tests/wine"))

import romsim  # noqa: E402,F401
import wineenv  # noqa: E402,F401
