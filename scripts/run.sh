#!/usr/bin/env bash
# Starts romprog.exe under Wine with the programmer emulator attached as COM1.
#
#   scripts/run.sh [--port DEVICE|auto | --board sim [--socket TYPE]] [--keep]
#
#   --port DEVICE  map a real serial device (e.g. /dev/ttyUSB0) as COM1
#                  instead of the emulator; an adapter's latency timer is
#                  set to 1 ms when its driver offers one
#   --port auto    map every serial adapter found, COM1 to COM10
#   --board sim    COM1 is the programmer's firmware on a simulated board
#                  (romboard: simavr, two 74HC595, a strict 27C chip)
#   --socket TYPE  the chip in the simulated board's socket: 27C64 (default),
#                  27C128 or 27C256
#   --keep         on a machine without a display, keep the program running
#                  on Xvfb after the screenshot (stop with Ctrl+C)
#
# The emulated chip lives in ${XDG_DATA_HOME:-~/.local/share}/romprog/chip.bin
# (board-chip.bin for the simulated board) and keeps its contents between runs.
# The program is the 32-bit build where this host runs 32-bit programs, else
# the 64-bit one under wine64 (scripts/windows_choice.sh); ROMPROG_WINDOWS=win32
# or win64 forces it.
set -euo pipefail
tree="$(cd "$(dirname "$0")/.." && pwd)"
caller="$PWD"
cd "$tree"
# No step fails without a word: one that has nothing to say of its own is
# named here.
trap 'echo "run: failed (status $?) at line $LINENO of scripts/run.sh: $BASH_COMMAND" >&2' ERR

port=""
keep=0
board=""
socket=27C64
while [ $# -gt 0 ]; do
  case "$1" in
    --port) port="${2:?--port needs a device}"; shift 2
            # Wine follows the COM link from its own folder: a relative name
            # has to become the caller's absolute one.
            case "$port" in /* | auto) ;; *) port="$caller/$port" ;; esac ;;
    --keep) keep=1; shift ;;
    --board) board="${2:?--board needs sim}"; shift 2
             [ "$board" = sim ] || { echo "run: --board takes sim only" >&2; exit 2; } ;;
    --socket) socket="${2:?--socket needs 27C64, 27C128 or 27C256}"; shift 2 ;;
    -h|--help) sed -n '2,21p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "run: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
done

if ! bash scripts/setup.sh; then
  echo "run: installing the packages romprog needs failed (see above); run as root:" \
    "sudo bash scripts/setup.sh" >&2
  exit 1
fi
if ! choice="$(bash scripts/windows_choice.sh)"; then
  echo "run: cannot decide which Windows build this host runs (see above)" >&2
  exit 1
fi
while IFS='=' read -r name value; do
  export "$name=$value"
done <<<"$choice"
echo "run: $ROMPROG_WINDOWS_WHY: starting build/$ROMPROG_WINDOWS under $ROMPROG_WINE_LOADER"

logs="$tree/build/logs"
mkdir -p "$logs"
for preset in "$ROMPROG_WINDOWS" native; do
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j 2; } \
      >"$logs/run-$preset.log" 2>&1; then
    tail -n 40 "$logs/run-$preset.log" >&2
    echo "run: building $preset failed (log: $logs/run-$preset.log)" >&2
    exit 1
  fi
done

own_display=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  export ROMPROG_DISPLAY="$DISPLAY"
  own_display=1
else
  export ROMPROG_DISPLAY=":57"
fi
export ROMPROG_WINEPREFIX="$tree/build/wine/run-$ROMPROG_WINDOWS"
source tests/wine/wine_env.sh

# Whatever this run started ends with it: the emulator, the prefix's Wine
# processes and server, and an Xvfb started for it.
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  romprog_stop_xvfb
}
trap cleanup EXIT

echo "run: preparing Wine (the first time takes about half a minute)"
if ! romprog_wine_setup; then
  echo "run: Wine is not ready (see above); nothing was started" >&2
  exit 1
fi

if [ "$port" = auto ]; then
  mapfile -t adapters < <(romprog_find_adapters)
  [ "${#adapters[@]}" -gt 0 ] || { echo "run: no serial adapter found" >&2; exit 2; }
  romprog_announce_adapters "${adapters[@]}"
  romprog_map_adapters "${adapters[@]}"
elif [ -n "$port" ]; then
  [ -e "$port" ] || { echo "run: no such device: $port" >&2; exit 2; }
  romprog_map_com 1 "$port"
  echo "run: COM1 is $port"
  romprog_check_access "$port" || true
  romprog_set_latency_timer "$port"
elif [ "$board" = sim ]; then
  data="${XDG_DATA_HOME:-$HOME/.local/share}/romprog"
  mkdir -p "$data" "$tree/build/run"
  link="$tree/build/run/com1"
  build/native/firmware/romboard --chip "$data/board-chip.bin" --socket "$socket" \
    --link "$link" --log "$tree/build/run/romboard.log" >"$tree/build/run/romboard.out" 2>&1 &
  sim_pid=$!
  for _ in $(seq 1 100); do [ -e "$link" ] && break; sleep 0.05; done
  [ -e "$link" ] || { cat "$tree/build/run/romboard.out" >&2; exit 1; }
  romprog_map_com 1 "$link"
  echo "run: COM1 is the simulated programmer board, a $socket in its socket" \
    "(chip file $data/board-chip.bin, log build/run/romboard.log)"
else
  data="${XDG_DATA_HOME:-$HOME/.local/share}/romprog"
  mkdir -p "$data" "$tree/build/run"
  link="$tree/build/run/com1"
  build/native/sim/romsim --chip "$data/chip.bin" --link "$link" \
    --log "$tree/build/run/romsim.log" >"$tree/build/run/romsim.out" 2>&1 &
  sim_pid=$!
  for _ in $(seq 1 100); do [ -e "$link" ] && break; sleep 0.05; done
  if [ ! -e "$link" ]; then
    cat "$tree/build/run/romsim.out" >&2
    echo "run: the emulator build/native/sim/romsim did not start (what it said is above)" >&2
    exit 1
  fi
  romprog_map_com 1 "$link"
  echo "run: COM1 is the emulator (chip file $data/chip.bin, log build/run/romsim.log)"
fi

exe="$tree/build/$ROMPROG_WINDOWS/src/gui/win32/romprog.exe"
said="$tree/build/run/wine.out"
mkdir -p "$tree/build/run"
if [ "$own_display" = 1 ]; then
  status=0
  romprog_wine "$exe" 2> >(tee "$said" >&2) || status=$?
  if [ "$status" != 0 ]; then
    echo "run: $ROMPROG_WINE_LOADER $exe ended with status $status" \
      "($(romprog_last_words "$said"))" >&2
    exit 1
  fi
  exit 0
fi

romprog_wine "$exe" >"$said" 2>&1 &
app=$!
shot="$tree/build/run/screenshot.png"
# Windows inside Wine's virtual desktop are no X windows of their own: give
# the program time to show its window before the screenshot.
sleep 4
if ! kill -0 "$app" 2>/dev/null; then
  status=0
  wait "$app" || status=$?
  echo "run: romprog.exe ended before its window could be seen (status $status:" \
    "$(romprog_last_words "$said")); Wine's output: $said" >&2
  exit 1
fi
if ! import -display "$ROMPROG_DISPLAY" -window root "$shot" 2>"$tree/build/run/import.out"; then
  echo "run: the screenshot failed ($(romprog_last_words "$tree/build/run/import.out"));" \
    "is imagemagick installed? (bash scripts/setup.sh)" >&2
  exit 1
fi
echo "run: no display here; romprog runs on Xvfb $ROMPROG_DISPLAY. Screenshot: $shot"
if [ "$keep" = 1 ]; then
  echo "run: press Ctrl+C to stop"
  wait "$app" || true
fi
