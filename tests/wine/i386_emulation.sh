#!/bin/bash
# How the 32-bit programs (romprog.exe of the win32 build under Wine's 32-bit
# loader) can run on this host when the build under test is the 64-bit one:
#
#   i386_emulation.sh plan        says how, one line; exit 0 when they can run
#                                 (natively, or by registering the emulator),
#                                 1 when not
#   i386_emulation.sh register    registers qemu-i386-static for i386 ELF
#                                 programs where plan says so; prints the name
#                                 of the entry to unregister, or nothing
#   i386_emulation.sh unregister NAME [MOUNTED]
#                                 removes that entry (and unmounts binfmt_misc
#                                 when register mounted it)
#
# The emulator is registered only where the kernel cannot start i386 programs
# itself: on a host that can, a binfmt_misc entry would take precedence over
# the kernel's own loader and route every 32-bit program through qemu.
set -euo pipefail
tree="$(cd "$(dirname "$0")/../.." && pwd)"
source "$tree/packaging/linux/launcher_lib.sh"
binfmt=/proc/sys/fs/binfmt_misc
qemu=/usr/bin/qemu-i386-static
entry=romprog-i386

native_choice() {
  ROMPROG_WINDOWS="" ROMPROG_WINE_LOADER="" bash "$tree/scripts/windows_choice.sh"
}

plan() {
  local said
  said="$(native_choice)"
  case "$said" in
    *ROMPROG_WINDOWS=win32*) echo "natively: this host runs 32-bit x86 programs"; return 0 ;;
    *"only through"*)
      echo "under the emulator already registered: $(sed -n 's/.*only through //p' <<<"$said")"
      return 0 ;;
  esac
  if [ "$(id -u)" != 0 ]; then
    echo "not at all: this host cannot run 32-bit x86 programs, and registering $qemu" \
      "for them needs root"
    return 1
  fi
  if [ ! -x "$qemu" ]; then
    echo "not at all: this host cannot run 32-bit x86 programs, and $qemu is missing" \
      "(bash scripts/setup.sh installs qemu-user-static)"
    return 1
  fi
  if [ ! -e "$binfmt/register" ] && ! grep -qw binfmt_misc /proc/filesystems; then
    echo "not at all: this host cannot run 32-bit x86 programs, and its kernel has no binfmt_misc"
    return 1
  fi
  echo "under $qemu, registered for i386 ELF programs in binfmt_misc (F flag) for this test"
}

register() {
  local mounted=0
  plan >/dev/null || return 1
  case "$(plan)" in under\ /*) ;; *) return 0 ;; esac
  if [ ! -e "$binfmt/register" ]; then
    mount -t binfmt_misc binfmt_misc "$binfmt"
    mounted=1
  fi
  [ -e "$binfmt/$entry" ] && echo -1 >"$binfmt/$entry"
  # ELFCLASS32, little-endian, ET_EXEC or ET_DYN, EM_386; the F flag opens the
  # emulator now, so it serves inside any mount namespace or chroot too.
  printf '%s' ":$entry:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$qemu:F" \
    >"$binfmt/register"
  echo "$entry $mounted"
}

unregister() {
  local name="$1" mounted="${2:-0}"
  [ -e "$binfmt/$name" ] && echo -1 >"$binfmt/$name"
  [ "$mounted" = 1 ] && umount "$binfmt"
  return 0
}

case "${1:-}" in
  plan) plan ;;
  register) register ;;
  unregister) shift; unregister "$@" ;;
  *) echo "usage: $0 plan|register|unregister NAME [MOUNTED]" >&2; exit 2 ;;
esac
