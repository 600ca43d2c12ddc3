#!/usr/bin/env bash
# Builds every configuration and runs every test: unit tests (also under
# ASan+UBSan), fuzzers for a bounded time, interoperability checks, and the
# real romprog.exe under Wine against the emulator. Ends with CTest's summary.
set -euo pipefail
tree="$(cd "$(dirname "$0")/.." && pwd)"
cd "$tree"
bash scripts/setup.sh

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
build native

cd build/native
exec ctest --output-on-failure -j 2 --timeout 900
