# Sourced by the run and test scripts: the launchers' shell library (Wine
# prefix, Xvfb, COM port mapping), with the test prefix in the build tree, and
# the Windows build this host runs (scripts/windows_choice.sh decides unless
# ROMPROG_WINDOWS and ROMPROG_WINE_LOADER are set already).
#
#   ROMPROG_WINEPREFIX  the prefix (default: build/wine/prefix-win32 or
#                       prefix-win64 in the tree: each loader its own)
#   ROMPROG_DISPLAY     the display to use; started on Xvfb when not running
#   ROMPROG_DESKTOP     virtual desktop size (default 1024x768)

_romprog_tree="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$_romprog_tree/packaging/linux/launcher_lib.sh"
if [ -z "${ROMPROG_WINDOWS:-}" ] || [ -z "${ROMPROG_WINE_LOADER:-}" ]; then
  while IFS='=' read -r _romprog_name _romprog_value; do
    export "$_romprog_name=$_romprog_value"
  done < <(bash "$_romprog_tree/scripts/windows_choice.sh")
  if [ -z "${ROMPROG_WINDOWS:-}" ] || [ -z "${ROMPROG_WINE_LOADER:-}" ]; then
    echo "wine_env: cannot decide which Windows build this host runs (see above)" >&2
    return 1
  fi
fi
: "${ROMPROG_WINEPREFIX:=$_romprog_tree/build/wine/prefix-$ROMPROG_WINDOWS}"
