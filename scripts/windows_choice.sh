#!/usr/bin/env bash
# Decides which Windows build the Wine-run tests and scripts/run.sh use on
# this host, and prints the choice as three lines:
#
#   ROMPROG_WINDOWS=win32 or win64
#   ROMPROG_WINE_LOADER=the Wine loader that runs it
#   ROMPROG_WINDOWS_WHY=why, in words
#
# The probe is a tiny i386 program built here with gcc -m32 and run once:
# where the kernel starts it, the 32-bit build is the one under test; where it
# does not, the 64-bit build of the same sources under Wine's 64-bit loader.
# ROMPROG_WINDOWS=win32|win64 forces the choice (no probe is run then);
# ROMPROG_WINE_LOADER puts another loader in place of the chosen one.
set -euo pipefail
tree="$(cd "$(dirname "$0")/.." && pwd)"
source "$tree/packaging/linux/launcher_lib.sh"

probe=""
if [ -z "${ROMPROG_WINDOWS:-}" ]; then
  scratch="$(mktemp -d)"
  trap 'rm -rf "$scratch"' EXIT
  probe="$scratch/i386-probe"
  printf 'int main(void) { return 0; }\n' >"$scratch/probe.c"
  if ! gcc -m32 -static -o "$probe" "$scratch/probe.c" 2>"$scratch/gcc.log"; then
    echo "windows_choice: gcc -m32 cannot build the i386 probe ($(romprog_last_words \
      "$scratch/gcc.log")): install gcc-multilib (bash scripts/setup.sh), or choose with" \
      "ROMPROG_WINDOWS=win32 or ROMPROG_WINDOWS=win64" >&2
    exit 1
  fi
fi
romprog_choose_windows "an i386 program built with gcc -m32" "$probe"
printf 'ROMPROG_WINDOWS=%s\nROMPROG_WINE_LOADER=%s\nROMPROG_WINDOWS_WHY=%s\n' \
  "$ROMPROG_WINDOWS" "$ROMPROG_WINE_LOADER" "$ROMPROG_WINDOWS_WHY"
