#!/bin/bash
# Builds the Debian package and checks it without installing it: lintian, its
# file list, and the unpacked tree's programs, man pages, completion and the
# launcher's adapter mapping on a made-up /dev and /sys.
#
#   ROMPROG_NATIVE_BUILD  the native build tree    ROMPROG_DEB  the package
#   ROMPROG_VERSION       the version it carries
set -euo pipefail
# The launcher decides for itself which romprog.exe runs.
unset ROMPROG_WINDOWS ROMPROG_WINE_LOADER ROMPROG_WINDOWS_WHY
deb="$ROMPROG_DEB" version="$ROMPROG_VERSION"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cmake --build "$ROMPROG_NATIVE_BUILD" --target package_deb >/dev/null

lintian --fail-on error,warning "$deb" 2>/dev/null || fail "lintian reports errors or warnings"

expected="usr/bin/romprog usr/bin/romsim usr/bin/romtool usr/lib/romprog/launcher_lib.sh
usr/lib/romprog/win32/romprog.exe usr/lib/romprog/win64/romprog.exe
usr/share/applications/romprog.desktop
usr/share/bash-completion/completions/romtool usr/share/doc/romprog/changelog.gz
usr/share/doc/romprog/README.md.gz
usr/share/doc/romprog/copyright usr/share/icons/hicolor/48x48/apps/romprog.png
usr/share/man/man1/romprog.1.gz usr/share/man/man1/romsim.1.gz usr/share/man/man1/romtool.1.gz"
files="$(dpkg-deb --contents "$deb" | awk '!/^d/ {sub(/^\.\//, "", $6); print $6}' | sort)"
[ "$files" = "$(tr ' ' '\n' <<<"$expected" | sort)" ] ||
  fail "package files differ:$(diff <(tr ' ' '\n' <<<"$expected" | sort) - <<<"$files")"

tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
chmod 755 "$tree"
dpkg-deb -x "$deb" "$tree"
bin="$tree/usr/bin"
[ "$("$bin/romtool" --version)" = "romtool $version" ] || fail "romtool --version"

for name in romtool romsim romprog; do
  page="$(man -l --warnings "$tree/usr/share/man/man1/$name.1.gz" 2>&1 >/dev/null)"
  [ -z "$page" ] || fail "man $name warns: $page"
  MANWIDTH=100 man -l "$tree/usr/share/man/man1/$name.1.gz" 2>/dev/null | grep -q "^NAME" ||
    fail "man $name renders no page"
done
# Every command romtool lists has its part of the page, with its own help.
commands="$("$bin/romtool" --help | sed -n '/^commands:/,/^$/s/^  \([a-z]*\) .*/\1/p')"
page="$(MANWIDTH=200 man -l "$tree/usr/share/man/man1/romtool.1.gz" 2>/dev/null)"
for command in $commands; do
  grep -q "^   romtool $command\$" <<<"$page" && grep -qi "usage: romtool $command" <<<"$page" ||
    fail "romtool.1 has no part for $command"
done
# The README's romtool section is the page's reference: its exit codes, the
# job log's fields, the images section; the package holds the README itself.
squeezed="$(tr -s ' ' <<<"$page")"
for said in "^REFERENCE" "Exit codes: 0 success (for write also" "us_per_cell, cells_written" \
  "^ Images: base addresses" "stopped at cell"; do
  grep -q "$said" <<<"$squeezed" || fail "romtool.1 lacks '$said'"
done
grep -q "^## romtool, the command-line tool" <<<"$(zcat "$tree/usr/share/doc/romprog/README.md.gz")" ||
  fail "the package's README has no romtool section"

complete_line() {
  PATH="$bin:$PATH" bash -c 'source /usr/share/bash-completion/bash_completion
    source "$0"; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}; $(complete -p romtool | sed "s/.*-F \([^ ]*\).*/\1/"); echo "${COMPREPLY[*]}"' \
    "$tree/usr/share/bash-completion/completions/romtool" "$@"
}
[ "$(complete_line romtool wr)" = write ] || fail "romtool wr<TAB>: $(complete_line romtool wr)"
[ "$(complete_line romtool write --no-v)" = --no-verify ] || fail "romtool write --no-v<TAB>"
[ "$(complete_line romtool read -c 27C2)" = 27C256 ] || fail "romtool read -c 27C2<TAB>"
# Options before the command: their values are no command word.
said="$(complete_line romtool -p /dev/ttyS0 -c 27C2)"
[ "$said" = 27C256 ] || fail "romtool -p /dev/ttyS0 -c 27C2<TAB>: $said"
said="$(complete_line romtool -p /dev/ttyS0 -c 27C64 wr)"
[ "$said" = write ] || fail "romtool -p /dev/ttyS0 -c 27C64 wr<TAB>: $said"
said="$(complete_line romtool -c 27C64 --port /dev/ttyS0 ver)"
[ "$said" = verify ] || fail "romtool -c 27C64 --port /dev/ttyS0 ver<TAB>: $said"
said="$(ROMPROG_DEV=/nonexistent complete_line romtool -c 27C64 -p '')"
[ -z "$said" ] || [[ "$said" != *-* ]] || fail "romtool -c 27C64 -p <TAB> offers options: $said"
# Only options romtool takes: "-PORT" in a help line is none.
said="$(complete_line romtool read -P)"
[ -z "$said" ] || fail "romtool read -P<TAB> offers $said"
declared="$("$bin/romtool" write --help | grep -E '^  -')"
for option in $(complete_line romtool write -); do
  [ "$option" = --help ] || grep -qw -e "$option" <<<"$declared" || fail "completion offers $option, which write lacks"
done

# Two adapters: ttyUSB1 has a stable name and a latency timer, ttyUSB0 neither.
fake="$tree/fake"
mkdir -p "$fake/dev/serial/by-id" "$fake/sys/class/tty/ttyUSB1/device"
touch "$fake/dev/ttyUSB0" "$fake/dev/ttyUSB1"
ln -s ../../ttyUSB1 "$fake/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0"
echo 16 >"$fake/sys/class/tty/ttyUSB1/device/latency_timer"
launch() { ROMPROG_DEV="$fake/dev" ROMPROG_SYSFS="$fake/sys" "$@" --dry-run 2>&1; }
said="$(launch "$bin/romprog")"
grep -qx "romprog: COM1 is $fake/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0 (ttyUSB1)" \
  <<<"$said" && grep -qx "romprog: COM2 is $fake/dev/ttyUSB0 (ttyUSB0)" <<<"$said" &&
  ! grep -q COM3 <<<"$said" || fail "adapters mapped wrongly: $said"
[ "$(cat "$fake/sys/class/tty/ttyUSB1/device/latency_timer")" = 1 ] || fail "latency timer not set"

chgrp dialout "$fake/dev/ttyUSB0" && chmod 660 "$fake/dev/ttyUSB0"
said="$(launch setpriv --reuid=nobody --regid=nogroup --clear-groups "$bin/romprog")"
grep -q "sudo usermod -aG dialout nobody" <<<"$said" || fail "no dialout advice: $said"
rm -r "$fake/dev"/*
grep -q "COM1 is the emulator" <<<"$(launch "$bin/romprog")" || fail "no emulator without adapters"

# Which romprog.exe it starts: the 32-bit one where Wine's 32-bit loader
# starts, the 64-bit one under wine64 where it fails as on a kernel without
# 32-bit support, or where it is missing; the word of the user first.
for build in win32 win64; do
  file="$(dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/lib/romprog/$build/romprog.exe" | file -)"
  case "$build" in win32) kind="Intel 80386" ;; win64) kind="x86-64" ;; esac
  grep -q "PE32.*$kind" <<<"$file" || fail "$build/romprog.exe is no $kind program: $file"
done
wine_dir="$tree/wine"
mkdir -p "$wine_dir"
printf '#!/bin/sh\necho wine-8.0\n' >"$wine_dir/wine"
printf '#!/bin/sh\necho wine-8.0\n' >"$wine_dir/wine64"
chmod 755 "$wine_dir/wine" "$wine_dir/wine64"
choose() { ROMPROG_WINE_DIR="$wine_dir" launch "$bin/romprog" | grep "romprog.exe under"; }
want="romprog: runs the 32-bit romprog.exe under $wine_dir/wine: this host runs 32-bit x86"
[ "$(choose)" = "$want programs (Wine's 32-bit loader started)" ] || fail "32-bit loader: $(choose)"
# An ELF program the kernel cannot start, as an i386 one on a kernel without
# 32-bit support.
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\377\377' \
  >"$wine_dir/wine"
want="romprog: runs the 64-bit romprog.exe under $wine_dir/wine64: this host cannot run 32-bit"
[ "$(choose)" = "$want x86 programs (Wine's 32-bit loader: Exec format error)" ] ||
  fail "32-bit loader that cannot start: $(choose)"
rm "$wine_dir/wine"
grep -q "64-bit romprog.exe under $wine_dir/wine64: Wine's 32-bit loader did not start" \
  <<<"$(choose)" || fail "no 32-bit loader: $(choose)"
[ "$(ROMPROG_WINDOWS=win32 choose)" = "romprog: runs the 32-bit romprog.exe under $wine_dir/wine:\
 forced by ROMPROG_WINDOWS=win32" ] || fail "forced win32: $(ROMPROG_WINDOWS=win32 choose)"

[ "$failures" = 0 ] && echo "deb: all checks passed"
exit "$((failures > 0))"
