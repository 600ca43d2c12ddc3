#!/usr/bin/env bash
# Runs the two GUI benchmarks under Wine and prints their figures:
#   - RefreshListing for 27C256 with the real Win32 list view (target <= 100 ms)
#   - start-up of romprog.exe to its main window shown (target <= 1.0 s)
#
#   bench/run_gui_benchmarks.sh [WINDOWS_BUILD_DIR]
# The Windows build is build/win32 under Wine's 32-bit loader where this host
# runs 32-bit programs, else build/win64 under wine64, as for the GUI tests
# (scripts/windows_choice.sh; ROMPROG_WINDOWS=win32 or win64 forces it). Uses
# ROMPROG_WINEPREFIX / ROMPROG_DISPLAY like the GUI tests.
set -euo pipefail
tree="$(cd "$(dirname "$0")/.." && pwd)"
source "$tree/packaging/linux/launcher_lib.sh"
if ! choice="$(bash "$tree/scripts/windows_choice.sh")" ||
    ! romprog_take_windows_choice "$choice"; then
  echo "run_gui_benchmarks: cannot decide which Windows build this host runs (see above)" >&2
  exit 1
fi
build="$(cd "${1:-$tree/build/$ROMPROG_WINDOWS}" && pwd)"
export ROMPROG_EXE="$build/src/gui/win32/romprog.exe"
export ROMDRIVE_EXE="$build/tests/wine/driver/romdrive.exe"
export ROMPROG_WINEPREFIX="${ROMPROG_WINEPREFIX:-$tree/build/native/wine-$ROMPROG_WINDOWS}"
trap romprog_end_run EXIT
romprog_wine_setup
# The start-up benchmark runs on the same display: the prefix's desktop is there.
export ROMPROG_DISPLAY="$DISPLAY"
romprog_wine "$build/bench/gui/refresh_bench.exe"
/usr/bin/python3 "$tree/bench/gui/startup_bench.py" 10
