#!/usr/bin/env bash
# Installs what romprog needs on a Debian 12 machine, as root. Idempotent and
# quick when everything is already there.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

packages=$(grep -v '^\s*#' "$here/packages.txt" | grep -v '^\s*$')

missing_packages() {
  local p
  for p in $packages; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
  done
}

# libjpeg-turbo for Windows is built from Debian's source package, which
# needs deb-src entries next to the deb ones.
has_deb_src() {
  grep -rqsE '^\s*(Types:.*deb-src|deb-src\s)' /etc/apt/sources.list /etc/apt/sources.list.d/
}

add_deb_src() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed -i -E 's/^Types:\s*deb\s*$/Types: deb deb-src/' "$f"
  done
  if [ -f /etc/apt/sources.list ] && grep -qE '^\s*deb\s' /etc/apt/sources.list; then
    grep -E '^\s*deb\s' /etc/apt/sources.list | sed -E 's/^\s*deb\s/deb-src /' \
      >>/etc/apt/sources.list
  fi
}

main() {
  if [ "$(id -u)" != 0 ]; then
    echo "setup: run as root (it installs Debian packages)" >&2
    exit 1
  fi
  local need_update=0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    need_update=1
  fi
  if ! has_deb_src; then
    add_deb_src
    need_update=1
  fi
  local missing
  missing=$(missing_packages)
  [ -n "$missing" ] && need_update=1
  if [ "$need_update" = 1 ]; then
    echo "setup: installing: ${missing:-(package lists only)}"
    apt-get update -qq
  fi
  if [ -n "$missing" ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing \
      >/tmp/romprog-apt.log 2>&1 || { tail -n 30 /tmp/romprog-apt.log >&2; exit 1; }
  fi
}

main "$@"
