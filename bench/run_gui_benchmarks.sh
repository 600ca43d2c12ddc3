#!/usr/bin/env bash
# Runs the two GUI benchmarks under Wine and prints their figures:
#   - RefreshListing for 27C256 with the real Win32 list view (target <= 100 ms)
#   - start-up of romprog.exe to its main window shown (target <= 1.0 s)
#
#   bench/run_gui_benchmarks.sh [WIN32_BUILD_DIR]   (default: build/win32)
# Uses ROMPROG_WINEPREFIX / ROMPROG_DISPLAY like the GUI tests.
set -euo pipefail
tree="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$tree/build/win32}" && pwd)"
export ROMPROG_EXE="$build/src/gui/win32/romprog.exe"
export ROMDRIVE_EXE="$build/tests/wine/driver/romdrive.exe"
export ROMPROG_WINEPREFIX="${ROMPROG_WINEPREFIX:-$tree/build/native/wine}"
source "$tree/tests/wine/wine_env.sh"
romprog_wine_setup
wine "$build/bench/gui/refresh_bench.exe"
/usr/bin/python3 "$tree/bench/gui/startup_bench.py" 10
