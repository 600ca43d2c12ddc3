#!/bin/bash
# The launchers' shell library against the real emulator: the emulator start
# maps COM1 to the pty of the romsim it started (never to one a link left
# behind names), fails quickly saying what romsim said when romsim cannot
# start, and the end of a run leaves neither romsim nor the Xvfb it started.
# Then the Wine prefix set-up the launchers and the Wine tests share, with a
# loader and a wineserver that only note their calls: what a new prefix gets,
# and a prefix another loader made refused.
#
#   ROMSIM_BINARY  the emulator
set -euo pipefail
source "$(dirname "$0")/../../packaging/linux/launcher_lib.sh"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

scratch="$(mktemp -d)"
trap 'romprog_end_run; rm -rf "$scratch"' EXIT
export WINEPREFIX="$scratch/prefix"
mkdir -p "$WINEPREFIX/dosdevices"
romprog_block_com_ports
link="$scratch/com1"
com1="$WINEPREFIX/dosdevices/com1"

# What an emulator killed earlier leaves: its link, naming what is no pty of
# this run. The emulator is slow to start, as romboard loading its firmware.
ln -s /dev/null "$link"
romprog_start_emulator 1 "$scratch/romsim.out" "$link" bash -c 'sleep 0.5; exec "$@"' slow \
  "$ROMSIM_BINARY" --chip "$scratch/chip.bin" --log "$scratch/romsim.log" ||
  fail "romsim did not start"
pty="$(head -n 1 "$scratch/romsim.out")"
[[ "$pty" == /dev/pts/* ]] && [ "$(readlink -f "$com1")" = "$pty" ] ||
  fail "COM1 leads to $(readlink -f "$com1"), not to romsim's pty ($pty)"
sim="$ROMPROG_EMULATOR_PID"

started=$SECONDS
said="$(romprog_start_emulator 2 "$scratch/bad.out" "$scratch/com2" "$ROMSIM_BINARY" \
  --chip "$scratch/bad.bin" --pace x 2>&1)" && fail "a romsim that cannot start passed"
grep -q -- "--pace" <<<"$said" || fail "romsim's complaint not shown: $said"
[ $((SECONDS - started)) -lt 3 ] || fail "waited $((SECONDS - started)) s for a romsim that ended"
[ -d "$WINEPREFIX/dosdevices/com2" ] && [ ! -L "$WINEPREFIX/dosdevices/com2" ] ||
  fail "COM2 mapped to a romsim that did not start"

display=""
for n in $(seq 140 199); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
romprog_start_xvfb "$display" || fail "Xvfb did not start on $display"
xvfb="$ROMPROG_XVFB_PID"

romprog_end_run
kill -0 "$sim" 2>/dev/null && fail "romsim $sim still runs after the end of the run"
kill -0 "$xvfb" 2>/dev/null && fail "Xvfb $xvfb still runs after the end of the run"
# Ended as SIGTERM ends it, romsim takes its link away; killed, it could not.
[ ! -L "$link" ] || fail "romsim left its link $link"

wine="$scratch/wine"
mkdir -p "$wine"
printf '#!/bin/sh\necho "$*" >>"$WINEPREFIX/.calls"\n' >"$wine/loader"
printf '#!/bin/sh\necho "wineserver $*" >>"$WINEPREFIX/.calls"\n' >"$wine/wineserver"
chmod 755 "$wine/loader" "$wine/wineserver"
set_up_prefix() {
  PATH="$wine:$PATH" ROMPROG_WINE_LOADER="$wine/loader" ROMPROG_WINEPREFIX="$1" \
    ROMPROG_WINDOWS="$2" romprog_wine_prefix_setup
}

fresh="$scratch/fresh"
set_up_prefix "$fresh" win32 || fail "a new prefix was not set up"
[ "$(cat "$fresh/.romprog-ready")" = "$wine/loader" ] || fail "the ready marker names no loader"
grep -qx "wineboot -i" "$fresh/.calls" &&
  grep -qxF "reg add HKCU\\Software\\Wine\\Explorer\\Desktops /v Default /d 1024x768 /f" \
    "$fresh/.calls" || fail "no virtual desktop of 1024x768: $(cat "$fresh/.calls")"
for font in /usr/share/wine/fonts/*; do
  [ -L "$fresh/drive_c/windows/Fonts/${font##*/}" ] || fail "Wine's font ${font##*/} not linked"
done
for n in 1 20; do
  [ -d "$fresh/dosdevices/com$n" ] && [ ! -L "$fresh/dosdevices/com$n" ] ||
    fail "the machine's COM$n is not hidden"
done
calls="$(wc -l <"$fresh/.calls")"
set_up_prefix "$fresh" win32 || fail "a ready prefix was refused"
grep -q "wineboot" <(tail -n +"$((calls + 1))" "$fresh/.calls") && fail "a ready prefix made again"

# A prefix made by the 32-bit loader (before the loader was noted in it, or
# after) serves no other loader.
for made_by in "" /usr/lib/wine/wine; do
  other="$scratch/other${made_by//\//-}"
  mkdir -p "$other"
  echo "$made_by" >"$other/.romprog-ready"
  said="$(set_up_prefix "$other" win64 2>&1)" && fail "a prefix made by ${made_by:-no note} served"
  grep -q "was made by /usr/lib/wine/wine, not by $wine/loader" <<<"$said" ||
    fail "refused without the loaders named: $said"
  [ ! -e "$other/.calls" ] || fail "Wine ran in a prefix of another loader"
done

[ "$failures" = 0 ] && echo "launcher_lib: all checks passed"
exit "$((failures > 0))"
