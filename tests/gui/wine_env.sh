# Sourced by the run and test scripts: a Wine prefix with a 1024x768 virtual
# desktop on an X display (Xvfb when there is none), and COM port mapping.
#
#   ROMPROG_WINEPREFIX  the prefix (default: build/wine/prefix in the tree)
#   ROMPROG_DISPLAY     the display to use; started on Xvfb when not running
#   ROMPROG_DESKTOP     virtual desktop size (default 1024x768)

_romprog_tree="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

romprog_display_alive() {
  xdpyinfo -display "$1" >/dev/null 2>&1
}

# Starts Xvfb on $1 unless an X server already answers there.
romprog_start_xvfb() {
  local display="$1" i
  romprog_display_alive "$display" && return 0
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  for i in $(seq 1 100); do
    romprog_display_alive "$display" && return 0
    sleep 0.05
  done
  echo "wine_env: Xvfb did not start on $display" >&2
  return 1
}

# The machine's own serial ports must not leak into the program: a directory
# in place of comN hides it (deleting the link is not enough, Wine re-creates it).
romprog_block_com_ports() {
  local n
  for n in $(seq 1 20); do
    romprog_unmap_com "$n"
  done
}

romprog_unmap_com() {
  local link="$WINEPREFIX/dosdevices/com$1"
  [ -d "$link" ] && [ ! -L "$link" ] && return 0
  rm -f "$link"
  mkdir -p "$link"
}

romprog_map_com() {
  local link="$WINEPREFIX/dosdevices/com$1"
  rm -rf "$link"
  ln -s "$2" "$link"
}

# Debian's Wine 8 finds fonts in C:\windows\Fonts and through fontconfig only,
# while fonts-wine puts Wine's own fonts in /usr/share/wine/fonts, which
# neither covers. Without Marlett, the symbol font Wine draws the title
# buttons with, they show as the letters "0 1 r"; linked into the prefix,
# they show as the minimise, maximise and close glyphs.
romprog_link_wine_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" font
  mkdir -p "$fonts"
  for font in /usr/share/wine/fonts/*; do
    [ -e "$font" ] && [ ! -e "$fonts/${font##*/}" ] && ln -s "$font" "$fonts/"
  done
  return 0
}

romprog_wine_setup() {
  export WINEPREFIX="${ROMPROG_WINEPREFIX:-$_romprog_tree/build/wine/prefix}"
  export DISPLAY="${ROMPROG_DISPLAY:-${DISPLAY:-:77}}"
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEARCH=win64
  local size="${ROMPROG_DESKTOP:-1024x768}"
  romprog_start_xvfb "$DISPLAY" || return 1
  if [ ! -f "$WINEPREFIX/.romprog-ready" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    # Every window of the prefix opens inside one virtual desktop.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$size" /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.romprog-ready"
  fi
  romprog_link_wine_fonts
  romprog_block_com_ports
  # Keep the server up between the many short runs of a test session.
  wineserver -p 60 >/dev/null 2>&1 || true
  # A starting wineserver brings up the device manager, which links every COMn
  # it finds as a serial device (/dev/ttyS0 as COM1) over a mapped port's
  # symlink; the directories hold it off. Let it do that before mapping.
  wine cmd /c exit >/dev/null 2>&1 || true
}
