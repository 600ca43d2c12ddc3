# Sourced by the run and test scripts: the launchers' shell library (Wine
# prefix, Xvfb, COM port mapping), with the test prefix in the build tree.
#
#   ROMPROG_WINEPREFIX  the prefix (default: build/wine/prefix in the tree)
#   ROMPROG_DISPLAY     the display to use; started on Xvfb when not running
#   ROMPROG_DESKTOP     virtual desktop size (default 1024x768)

_romprog_tree="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
: "${ROMPROG_WINEPREFIX:=$_romprog_tree/build/wine/prefix}"
source "$_romprog_tree/packaging/linux/launcher_lib.sh"
