# Sourced by the launchers (the packaged romprog, scripts/run.sh), the test
# scripts and the benchmarks, and called through bash by the Wine tests'
# Python (tests/wine/wineenv.py): which Windows build this host runs, a Wine
# prefix with a 1024x768 virtual desktop, the serial adapters found and mapped
# to COM ports, their latency timers set, the programmer's emulator started on
# a pty as a COM port, and the end of all a run started.
#
#   ROMPROG_WINDOWS     win32 or win64: forces the Windows build (see
#                       romprog_choose_windows); unset, the host decides
#   ROMPROG_WINE_LOADER the Wine loader (default: the one of that build)
#   ROMPROG_WINE_DIR    where Wine's loaders are (default /usr/lib/wine)
#   ROMPROG_WINEPREFIX  the prefix (default: ~/.local/share/romprog/wine for
#                       win32, ~/.local/share/romprog/wine64 for win64)
#   ROMPROG_DISPLAY     the display to use; started on Xvfb when not running
#   ROMPROG_DESKTOP     virtual desktop size (default 1024x768)
#   ROMPROG_DEV         where the devices are (default /dev)
#   ROMPROG_SYSFS       where sysfs is (default /sys)

romprog_say() {
  echo "${0##*/}: $*"
}

# Which Windows build of romprog runs here, and the Wine loader that runs it.
# $1 names the probe in words; the rest is a 32-bit x86 program with its
# arguments that ends at once with status 0. Whether it starts decides:
# Debian's wine, wine-stable and wineboot take the 32-bit loader whenever
# wine32 is installed, whether or not the kernel can start it. Sets
#   ROMPROG_WINDOWS      win32 (the i686 program under Wine's loader wine) or
#                        win64 (the x86_64 one under wine64)
#   ROMPROG_WINDOWS_WHY  why, in words
#   ROMPROG_WINE_LOADER  the loader, unless set beforehand
# ROMPROG_WINDOWS set beforehand forces the choice; nothing is probed then.
romprog_choose_windows() {
  local name="$1" said emulator
  shift
  case "${ROMPROG_WINDOWS:-}" in
    win32 | win64) ROMPROG_WINDOWS_WHY="forced by ROMPROG_WINDOWS=$ROMPROG_WINDOWS" ;;
    "")
      if said="$("$@" 2>&1 >/dev/null)"; then
        emulator="$(romprog_i386_emulator)"
        if [ -n "$emulator" ]; then
          # binfmt_misc hands every i386 program to an emulator: it starts,
          # but far too slowly for Wine.
          ROMPROG_WINDOWS=win64
          ROMPROG_WINDOWS_WHY="this host runs 32-bit x86 programs only through $emulator"
        else
          ROMPROG_WINDOWS=win32
          ROMPROG_WINDOWS_WHY="this host runs 32-bit x86 programs ($name started)"
        fi
      else
        ROMPROG_WINDOWS=win64
        case "$said" in
          *"Exec format error"*)
            ROMPROG_WINDOWS_WHY="this host cannot run 32-bit x86 programs ($name: Exec format error)" ;;
          *) ROMPROG_WINDOWS_WHY="$name did not start (${said##*: })" ;;
        esac
      fi ;;
    *)
      romprog_say "ROMPROG_WINDOWS=$ROMPROG_WINDOWS: set it to win32 or win64, or unset it" \
        "to let this host decide" >&2
      return 2 ;;
  esac
  if [ -z "${ROMPROG_WINE_LOADER:-}" ]; then
    ROMPROG_WINE_LOADER="$(romprog_wine_dir)/wine"
    [ "$ROMPROG_WINDOWS" = win64 ] && ROMPROG_WINE_LOADER="$(romprog_wine_dir)/wine64"
  fi
  export ROMPROG_WINDOWS ROMPROG_WINDOWS_WHY ROMPROG_WINE_LOADER
}

# Takes the choice scripts/windows_choice.sh prints ($1: its lines
# NAME=value) into the environment; fails when it names no build or loader.
romprog_take_windows_choice() {
  local name value
  while IFS='=' read -r name value; do
    [ -z "$name" ] || export "$name=$value"
  done <<<"$1"
  [ -n "${ROMPROG_WINDOWS:-}" ] && [ -n "${ROMPROG_WINE_LOADER:-}" ]
}

# Where Debian keeps Wine's loaders.
romprog_wine_dir() {
  echo "${ROMPROG_WINE_DIR:-/usr/lib/wine}"
}

# The interpreter binfmt_misc runs i386 ELF programs through (qemu-i386 and
# the like), or nothing when the kernel starts them itself.
romprog_i386_emulator() {
  local entry magic
  for entry in "${ROMPROG_BINFMT:-/proc/sys/fs/binfmt_misc}"/*; do
    [ -f "$entry" ] && [ -r "$entry" ] || continue
    grep -qx enabled "$entry" 2>/dev/null || continue
    magic="$(sed -n 's/^magic //p' "$entry" 2>/dev/null)"
    # ELFCLASS32 little-endian, e_machine EM_386
    if [ "${magic:0:10}" = 7f454c4601 ] && [ "${magic:36:4}" = 0300 ]; then
      echo "$(sed -n 's/^interpreter //p' "$entry") (binfmt_misc entry ${entry##*/})"
      return 0
    fi
  done
  return 0
}

# Says what to do when the loader of the chosen build cannot run here.
romprog_loader_advice() {
  if [ "$ROMPROG_WINDOWS" = win64 ]; then
    echo "install Wine's 64-bit loader (sudo apt install wine64)"
  else
    echo "install Wine's 32-bit half (sudo dpkg --add-architecture i386 && sudo apt update &&" \
      "sudo apt install wine32:i386); on a host that cannot run 32-bit programs," \
      "ROMPROG_WINDOWS=win64 runs the 64-bit build instead"
  fi
}

# Fails, saying why and what to do, when the loader cannot be started.
romprog_check_loader() {
  if [ ! -e "$ROMPROG_WINE_LOADER" ]; then
    romprog_say "Wine cannot start: $ROMPROG_WINE_LOADER is not installed;" \
      "$(romprog_loader_advice)" >&2
    return 1
  fi
  if [ ! -x "$ROMPROG_WINE_LOADER" ] || [ -d "$ROMPROG_WINE_LOADER" ]; then
    romprog_say "Wine cannot start: $ROMPROG_WINE_LOADER is not an executable program;" \
      "$(romprog_loader_advice)" >&2
    return 1
  fi
}

romprog_display_alive() {
  xdpyinfo -display "$1" >/dev/null 2>&1
}

# Starts Xvfb on $1 unless an X server already answers there.
romprog_start_xvfb() {
  local display="$1" i
  romprog_display_alive "$display" && return 0
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  # Whoever started it stops it (romprog_stop_xvfb).
  ROMPROG_XVFB_PID=$!
  for i in $(seq 1 100); do
    romprog_display_alive "$display" && return 0
    sleep 0.05
  done
  romprog_say "Xvfb did not start on $display (is the package xvfb installed?)" >&2
  romprog_stop_xvfb
  return 1
}

# Stops the Xvfb romprog_start_xvfb started, if it did.
romprog_stop_xvfb() {
  romprog_stop_started ROMPROG_XVFB_PID
}

# Ends the process this shell started whose id the variable named $1 holds,
# if it holds one, and empties it.
romprog_stop_started() {
  local pid="${!1:-}"
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  printf -v "$1" '%s' ""
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

# Where romprog keeps the user's Wine prefixes and the emulated chips.
romprog_data_dir() {
  echo "${XDG_DATA_HOME:-$HOME/.local/share}/romprog"
}

# Starts an emulator of the programmer (romsim, or romboard) on a
# pseudo-terminal, waits until it serves its pty and maps COM$1 to the link it
# makes to it. $2 takes what the emulator says, $3 is the link, the rest the
# emulator and its arguments. When it does not start, shows what it said and
# fails. romprog_stop_emulator ends it.
romprog_start_emulator() {
  local com="$1" said="$2" link="$3" i
  shift 3
  rm -f "$link"
  "$@" --link "$link" >"$said" 2>&1 &
  ROMPROG_EMULATOR_PID=$!
  # Ten seconds, as the tests give it: the board loads its firmware first.
  for i in $(seq 1 200); do
    romprog_emulator_ready "$said" "$link" && break
    kill -0 "$ROMPROG_EMULATOR_PID" 2>/dev/null || break
    sleep 0.05
  done
  if ! romprog_emulator_ready "$said" "$link"; then
    cat "$said" >&2
    return 1
  fi
  romprog_map_com "$com" "$link"
}

# Whether the emulator that writes to the file $1 serves the pty the link $2
# names: it says its pty once it is ready for a host, after making the link.
# A link some killed emulator left behind names another pty.
romprog_emulator_ready() {
  local pty
  pty="$(head -n 1 "$1" 2>/dev/null)"
  [ -n "$pty" ] && [ "$pty" = "$(readlink "$2" 2>/dev/null)" ]
}

# Ends the emulator romprog_start_emulator started, if it did; the emulator
# saves its chip file on the way out.
romprog_stop_emulator() {
  romprog_stop_started ROMPROG_EMULATOR_PID
}

# Ends every Wine process of the prefix and its server.
romprog_end_prefix() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# Ends whatever a run started: the emulator, the prefix's Wine processes and
# server, and an Xvfb romprog_start_xvfb started.
romprog_end_run() {
  romprog_stop_emulator
  [ -z "${WINEPREFIX:-}" ] || romprog_end_prefix
  romprog_stop_xvfb
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

# The last line of the file $1, or "no message".
romprog_last_words() {
  local line
  line="$(grep -v '^\s*$' "$1" 2>/dev/null | tail -n 1)"
  echo "${line:-no message}"
}

# Runs Wine's program $1 (with its arguments) in the prefix, through the
# loader of the chosen build.
romprog_wine() {
  "$WINELOADER" "$@"
}

# The prefix on the display already in $DISPLAY, made by the loader that
# uses it: a prefix the 32-bit loader made cannot serve the 64-bit one
# alone, nor the other way round. Says what failed and fails when Wine
# cannot start.
romprog_wine_prefix_setup() {
  local default made_by
  default="$(romprog_data_dir)/wine"
  [ "${ROMPROG_WINDOWS:-win32}" = win64 ] && default="$(romprog_data_dir)/wine64"
  export WINEPREFIX="${ROMPROG_WINEPREFIX:-$default}"
  export WINELOADER="$ROMPROG_WINE_LOADER"
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEARCH=win64
  romprog_check_loader || return 1
  local size="${ROMPROG_DESKTOP:-1024x768}" ready="$WINEPREFIX/.romprog-ready"
  # What Wine says goes to a file: the processes it leaves running inherit
  # its output, and a pipe would stay open as long as they live.
  local said="$WINEPREFIX/.romprog-wine.log"
  if [ -f "$ready" ]; then
    # Prefixes made before the loader was recorded were made by the 32-bit one.
    made_by="$(cat "$ready")"
    if [ "${made_by:-/usr/lib/wine/wine}" != "$WINELOADER" ]; then
      romprog_say "the Wine prefix $WINEPREFIX was made by ${made_by:-/usr/lib/wine/wine}," \
        "not by $WINELOADER, which runs the $ROMPROG_WINDOWS build here: delete it, or set" \
        "ROMPROG_WINEPREFIX to another folder" >&2
      return 1
    fi
  else
    mkdir -p "$WINEPREFIX"
    if ! "$WINELOADER" wineboot -i >"$said" 2>&1; then
      romprog_say "Wine cannot start: $WINELOADER wineboot -i failed in $WINEPREFIX" \
        "($(romprog_last_words "$said")); $(romprog_loader_advice)" >&2
      romprog_end_prefix
      return 1
    fi
    wineserver -w
    # Every window of the prefix opens inside one virtual desktop.
    romprog_wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    romprog_wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$size" /f \
      >/dev/null 2>&1
    wineserver -w
    echo "$WINELOADER" >"$ready"
  fi
  romprog_link_wine_fonts
  romprog_block_com_ports
  # Keep the server up between the many short runs of a test session.
  wineserver -p 60 >/dev/null 2>&1 || true
  # A starting wineserver brings up the device manager, which links every COMn
  # it finds as a serial device (/dev/ttyS0 as COM1) over a mapped port's
  # symlink; the directories hold it off. Let it do that before mapping.
  if ! romprog_wine cmd /c exit >"$said" 2>&1; then
    romprog_say "Wine cannot start: $WINELOADER cmd /c exit failed in $WINEPREFIX" \
      "($(romprog_last_words "$said")); $(romprog_loader_advice)" >&2
    romprog_end_prefix
    return 1
  fi
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
