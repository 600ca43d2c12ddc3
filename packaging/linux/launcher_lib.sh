# Sourced by the launchers (the packaged romprog, scripts/run.sh) and the test
# scripts: a Wine prefix with a 1024x768 virtual desktop, the serial adapters
# found and mapped to COM ports, their latency timers set.
#
#   ROMPROG_WINEPREFIX  the prefix (default: ~/.local/share/romprog/wine)
#   ROMPROG_DISPLAY     the display to use; started on Xvfb when not running
#   ROMPROG_DESKTOP     virtual desktop size (default 1024x768)
#   ROMPROG_DEV         where the devices are (default /dev)
#   ROMPROG_SYSFS       where sysfs is (default /sys)

romprog_say() {
  echo "${0##*/}: $*"
}

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

# The prefix on the display already in $DISPLAY.
romprog_wine_prefix_setup() {
  export WINEPREFIX="${ROMPROG_WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/romprog/wine}"
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEARCH=win64
  local size="${ROMPROG_DESKTOP:-1024x768}"
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

# The prefix on ROMPROG_DISPLAY, started on Xvfb when nothing answers there.
romprog_wine_setup() {
  export DISPLAY="${ROMPROG_DISPLAY:-${DISPLAY:-:77}}"
  romprog_start_xvfb "$DISPLAY" || return 1
  romprog_wine_prefix_setup
}

# Every serial adapter, one a line, in the order COM ports are given out: the
# names under serial/by-id first (they stay the same whatever the order of
# plugging in), then the ttyUSB and ttyACM devices no such name stands for.
romprog_find_adapters() {
  local dev="${ROMPROG_DEV:-/dev}" path kind
  local -A named=()
  for path in "$dev"/serial/by-id/*; do
    [ -e "$path" ] || continue
    named["$(readlink -f "$path")"]=1
    echo "$path"
  done
  for kind in ttyUSB ttyACM; do
    while read -r path; do
      [ -e "$path" ] && [ -z "${named["$(readlink -f "$path")"]:-}" ] && echo "$path"
    done < <(printf '%s\n' "$dev/$kind"* | sort -V)
  done
  return 0
}

# An FTDI-style USB adapter holds every byte from the programmer until its
# latency timer runs out (16 ms by default), and Wine asks its driver for no
# low-latency mode: set the timer to 1 ms where the driver offers one.
romprog_set_latency_timer() {
  local name timer
  name="$(basename "$(readlink -f "$1")")"
  timer="${ROMPROG_SYSFS:-/sys}/class/tty/$name/device/latency_timer"
  if [ ! -e "$timer" ]; then
    romprog_say "$name has no latency timer to set (not an FTDI-style USB adapter); left as it is"
  elif [ -w "$timer" ] && echo 1 2>/dev/null >"$timer"; then
    romprog_say "latency timer of $name set to 1 ms ($timer)"
  else
    romprog_say "cannot set the latency timer of $name: $timer is not writable (run as root," \
      "or: echo 1 | sudo tee $timer); it stays at $(cat "$timer" 2>/dev/null || echo '?') ms," \
      "which every byte from the programmer may wait" >&2
  fi
}

# Says why this user cannot open device $1, when so, and what fixes it.
romprog_check_access() {
  local device group user
  user="$(id -un)"
  device="$(readlink -f "$1")"
  [ -r "$device" ] && [ -w "$device" ] && return 0
  group="$(stat -c %G "$device")"
  if [ "$(( 0$(stat -c %a "$device") & 060 ))" != 48 ] || [ "$group" = root ]; then
    romprog_say "you cannot open $device (owner $(stat -c %U "$device"), group $group," \
      "mode $(stat -c %A "$device")); ask whoever runs this machine for access" >&2
  elif id -nG "$user" 2>/dev/null | tr ' ' '\n' | grep -qx "$group"; then
    romprog_say "you cannot open $device yet: you joined its group $group after logging in;" \
      "log out and in again" >&2
  else
    romprog_say "you cannot open $device: it belongs to the group $group, which you are not in." \
      "Fix it once with: sudo usermod -aG $group $user  (then log out and in again)" >&2
  fi
  return 1
}

# Says which COM port each adapter $@ becomes, checks it can be opened and
# sets its latency timer. Only the first ten get a port (the program lists
# COM1 to COM10).
romprog_announce_adapters() {
  local n=0 path
  for path in "$@"; do
    n=$((n + 1))
    if [ "$n" -gt 10 ]; then
      romprog_say "$path gets no COM port: the program lists COM1 to COM10 only" >&2
      continue
    fi
    romprog_say "COM$n is $path ($(basename "$(readlink -f "$path")"))"
    romprog_check_access "$path" || true
    romprog_set_latency_timer "$path"
  done
}

# Maps the adapters $@ to COM1, COM2, ... in the prefix.
romprog_map_adapters() {
  local n=0 path
  for path in "$@"; do
    n=$((n + 1))
    [ "$n" -le 10 ] && romprog_map_com "$n" "$path"
  done
  return 0
}
