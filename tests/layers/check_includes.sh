#!/usr/bin/env bash
# The include rule of the layers: a source includes only from its own layer
# and the ones below it (core < platform < gui < gui/win32). romtool (cli/)
# and the emulator (sim/) stand on core and platform; in sim/, the device
# model, romsim and the host side keep apart. Prints
# every include that breaks the rule and fails when there is one.
#   tests/layers/check_includes.sh [SOURCE_TREE]
set -u
root="${1:-$(cd "$(dirname "$0")/../.." && pwd)}"
status=0

# check FOLDER DEPTH FORBIDDEN: no file in FOLDER (DEPTH levels down, "" for
# all) includes "FORBIDDEN/..." or climbs out with "../".
check() {
  local folder="$1" depth="$2" forbidden="$3" hits
  hits=$(find "$root/$folder" ${depth:+-maxdepth "$depth"} -type f \( -name '*.h' -o -name '*.cpp' \) \
           -exec grep -nHE "^[[:space:]]*#[[:space:]]*include[[:space:]]*\"(($forbidden)/|\.\./)" {} +)
  if [ -n "$hits" ]; then
    echo "$folder may not include from ${forbidden//|/, } (nor climb out with ../):"
    echo "${hits//$root\//}"
    status=1
  fi
}

# Every include names its header from the source root (src/ for the program's
# layers): "core/image.h", "cli/command_line/options.h", never a bare "options.h".
bare=$(cd "$root" && grep -rnE --include='*.h' --include='*.cpp' \
         '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+"' src cli sim firmware tests bench)
if [ -n "$bare" ]; then
  echo "includes must name the header from the source root:"
  echo "$bare"
  status=1
fi

check src/core "" 'gui|platform|cli|sim'
check src/platform "" 'gui|cli|sim'
check src/gui 1 'gui/win32|cli|sim'
check cli "" 'gui|sim'
check sim "" 'gui|cli'
# Inside the emulator: the device model knows neither romsim nor its hosts,
# and romsim and the host side meet only in what sim/ shares at its top.
check sim/device "" 'sim/romsim|sim/host'
check sim/romsim "" 'sim/host'
check sim/host "" 'sim/romsim'
# romtool's rooms include only from the rooms below them, lowest first:
# base (streams, exit codes, the job log), command_line (options and the
# command table's look-ups), images, run (a chip's job and its rounds), then
# commands; the table's rows and main stand above them at cli/'s root.
check cli/base "" 'cli/command_line|cli/images|cli/run|cli/commands'
check cli/command_line "" 'cli/images|cli/run|cli/commands'
check cli/images "" 'cli/run|cli/commands'
check cli/run "" 'cli/commands'
# Inside run/: the run of a chip command (its rounds over the ports and the
# next chips) takes one chip's job on each port, never the other way round:
# no other file of run/ (chip_job, chip_exchange, read_passes, ...)
# includes the run's.
run='chip_command|next_chip_loop|port_workers'
job=$(cd "$root" && grep -nHE "^[[:space:]]*#[[:space:]]*include[[:space:]]*\"cli/run/($run)\.h\"" \
        cli/run/*.h cli/run/*.cpp | grep -vE "^cli/run/($run)\.(h|cpp):")
if [ -n "$job" ]; then
  echo "a chip's job may not include the run that takes it over ports and chips (${run//|/, }):"
  echo "$job"
  status=1
fi
# What differs between POSIX and Windows lives in src/platform/, behind a
# header with a file for each; romtool and the emulator ask no _WIN32.
win=$(cd "$root" && grep -rnwE --include='*.h' --include='*.cpp' '_WIN32' cli sim)
if [ -n "$win" ]; then
  echo "cli/ and sim/ leave what differs on Windows to src/platform/:"
  echo "$win"
  status=1
fi
# The simulated board stands beside romsim: it shares romsim's pty and chip
# file, never a host's pieces.
check firmware "" 'gui|cli|sim/host'
[ "$status" = 0 ] && echo "includes follow the layers"
exit "$status"
