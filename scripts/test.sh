#!/usr/bin/env bash
# Builds every configuration and runs every test: unit tests (also under
# ASan+UBSan), fuzzers for a bounded time, interoperability checks, and the
# real romprog.exe under Wine against the emulator. Ends with CTest's summary.
#
# The Windows build under Wine is the 32-bit one where this host runs 32-bit
# programs, else the 64-bit one under wine64 (scripts/windows_choice.sh);
# ROMPROG_WINDOWS=win32 or win64 forces it.
set -euo pipefail
tree="$(cd "$(dirname "$0")/.." && pwd)"
cd "$tree"
bash scripts/setup.sh

# Not exported: the tests get the choice from CMake, and the launcher's test
# makes its own.
choice="$(bash scripts/windows_choice.sh)"
while IFS='=' read -r name value; do
  printf -v "$name" '%s' "$value"
done <<<"$choice"
echo "test: $ROMPROG_WINDOWS_WHY: testing build/$ROMPROG_WINDOWS under $ROMPROG_WINE_LOADER"
if [ "$ROMPROG_WINDOWS" = win64 ]; then
  echo "test: skipped, for they need the 32-bit program itself: package.installer" \
    "(romprog-setup.exe is a 32-bit program)"
  echo "test: wine.smoke_i386 runs the 32-bit romprog.exe" \
    "$(bash tests/wine/i386_emulation.sh plan || true)"
else
  echo "test: skipped, for the 32-bit program is already under test: wine.smoke_i386"
fi

logs="$tree/build/logs"
mkdir -p "$logs"

# Configures and builds one preset quietly; shows the log when it fails.
build() {
  local preset="$1"
  echo "build: $preset"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j 2; } \
      >"$logs/$preset.log" 2>&1; then
    tail -n 60 "$logs/$preset.log" >&2
    echo "build: $preset failed (full log: $logs/$preset.log)" >&2
    exit 1
  fi
}

build win32
build win64
build asan
build tsan
build fuzz
echo "build: native"
if ! { cmake --preset native -DROMPROG_WINDOWS="$ROMPROG_WINDOWS" \
         -DROMPROG_WINE_LOADER="$ROMPROG_WINE_LOADER" \
         -DROMPROG_WINDOWS_WHY="$ROMPROG_WINDOWS_WHY" &&
       cmake --build --preset native -j 2; } >"$logs/native.log" 2>&1; then
  tail -n 60 "$logs/native.log" >&2
  echo "build: native failed (full log: $logs/native.log)" >&2
  exit 1
fi

cd build/native
exec ctest --output-on-failure -j 2 --timeout 900
