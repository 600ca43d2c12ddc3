#!/bin/bash
# Builds the Debian package romprog_VERSION_amd64.deb: romtool and romsim,
# the launcher romprog with the 32-bit and the 64-bit romprog.exe (it starts
# the one the host runs), their man pages, bash completion for romtool, a
# desktop entry and the icon.
#
#   make_deb.sh DEB VERSION ROMTOOL ROMSIM ROMPROG_EXE_WIN32 ROMPROG_EXE_WIN64
set -euo pipefail
deb="$1" version="$2" romtool="$3" romsim="$4" exe32="$5" exe64="$6"
here="$(cd "$(dirname "$0")" && pwd)"
source_tree="$(cd "$here/../.." && pwd)"
maintainer="${ROMPROG_DEB_MAINTAINER:-romprog developers <romprog@example.org>}"
# The date the man pages and the changelog carry: the last commit's, so that
# a rebuild of the same sources makes the same package.
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git -C "$source_tree" log -1 --format=%ct \
  2>/dev/null || date +%s)}"

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
root="$stage/root"
doc="$root/usr/share/doc/romprog"
install -d "$root/DEBIAN" "$root/usr/bin" "$root/usr/lib/romprog" "$root/usr/share/man/man1" \
  "$doc" "$root/usr/share/bash-completion/completions" "$root/usr/share/applications" \
  "$root/usr/share/icons/hicolor/48x48/apps"

install -m 755 "$romtool" "$romsim" "$root/usr/bin/"
strip --remove-section=.comment --remove-section=.note --strip-unneeded \
  "$root/usr/bin/romtool" "$root/usr/bin/romsim"
sed "s/@PROJECT_VERSION@/$version/" "$here/romprog.in" >"$root/usr/bin/romprog"
chmod 755 "$root/usr/bin/romprog"
install -m 644 "$here/launcher_lib.sh" "$root/usr/lib/romprog/"
install -D -m 644 "$exe32" "$root/usr/lib/romprog/win32/romprog.exe"
install -D -m 644 "$exe64" "$root/usr/lib/romprog/win64/romprog.exe"

"$here/make_manpages.sh" "$stage/man" "$version" "$root/usr/bin/romtool" \
  "$root/usr/bin/romsim" "$root/usr/bin/romprog"
for page in "$stage"/man/*.1; do
  gzip -9n <"$page" >"$root/usr/share/man/man1/${page##*/}.gz"
done

install -m 644 "$here/romtool.bash-completion" "$root/usr/share/bash-completion/completions/romtool"
install -m 644 "$here/romprog.desktop" "$root/usr/share/applications/"
convert "$source_tree/resources/icon/romprog.ico" -strip \
  "png32:$root/usr/share/icons/hicolor/48x48/apps/romprog.png"
chmod 644 "$root/usr/share/icons/hicolor/48x48/apps/romprog.png"

install -m 644 "$here/copyright" "$doc/"
# The README, whose romtool section is also the man page's reference.
gzip -9n <"$source_tree/README.md" >"$doc/README.md.gz"
chmod 644 "$doc/README.md.gz"
gzip -9n >"$doc/changelog.gz" <<EOF
romprog ($version) unstable; urgency=medium

  * Release $version.

 -- $maintainer  $(date -R -u -d "@$SOURCE_DATE_EPOCH")
EOF
chmod 644 "$doc/changelog.gz"

# dpkg-shlibdeps works in a source package's folder: give it the least of one.
mkdir -p "$stage/debian"
printf 'Source: romprog\n\nPackage: romprog\nArchitecture: amd64\n' >"$stage/debian/control"
depends="$(cd "$stage" && dpkg-shlibdeps -O -e root/usr/bin/romtool -e root/usr/bin/romsim \
  2>/dev/null | sed -n 's/^shlibs:Depends=//p')"

cat >"$root/DEBIAN/control" <<EOF
Package: romprog
Version: $version
Architecture: amd64
Maintainer: $maintainer
Installed-Size: $(du -sk --exclude=DEBIAN "$root" | cut -f1)
Depends: $depends
Recommends: wine, wine64, wine32
Section: electronics
Priority: optional
Description: host programs for a serial-port 27C-series EPROM programmer
 Writes, reads, blank-checks and compares 27C64, 27C128 and 27C256 EPROMs
 on a programmer attached to a serial port or USB-serial adapter, and
 converts ROM images between Intel HEX, Motorola S-records and raw binary.
 .
 romtool does it all from the command line; romsim emulates the programmer
 on a pseudo-terminal. romprog starts the window program (a Windows
 program, 32-bit, or 64-bit where the host runs no 32-bit programs) under
 Wine, with every serial adapter found mapped to a COM port.
EOF
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
chmod 644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "make_deb: $deb"
