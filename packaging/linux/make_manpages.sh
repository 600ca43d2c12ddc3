#!/bin/bash
# Writes romtool.1, romsim.1 and romprog.1 into OUT, made by help2man from the
# programs' own --help, so a page never says other than its program does.
# romtool's page then carries the README's romtool section (recipes, number
# forms, images, production runs, the job log's fields, exit codes, what each
# stop leaves), converted by lowdown: the README is its one source.
#
#   make_manpages.sh OUT VERSION ROMTOOL ROMSIM ROMPROG
set -euo pipefail
out="$1" version="$2" romtool="$3" romsim="$4" romprog="$5"
readme="${ROMPROG_README:-$(cd "$(dirname "$0")/../.." && pwd)/README.md}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# help2man takes the synopsis from a line "Usage:"; romsim has no --version.
# romtool's page is its overview, then each command's own help: the commands
# are those its overview lists.
cat >"$work/romtool" <<EOF
#!/bin/bash
[ "\$1" = --version ] && exec "$romtool" --version
"$romtool" --help | sed 's/^usage:/Usage:/'
for command in \$("$romtool" --help | sed -n '/^commands:/,/^\$/s/^  \([a-z][a-z0-9-]*\) .*/\1/p'); do
  printf '\nromtool %s:\n' "\$command"
  "$romtool" "\$command" --help
done
EOF
cat >"$work/romsim" <<EOF
#!/bin/bash
[ "\$1" = --version ] && echo "romsim $version" && exit 0
"$romsim" --help | sed 's/^usage:/Usage:/'
EOF
chmod +x "$work/romtool" "$work/romsim"

# The README from "## romtool, the command-line tool" to the next "## "
# heading, its own "###" headings as subsections.
{
  echo "[REFERENCE]"
  awk '/^## romtool, the command-line tool/ {on = 1; next} on && /^## / {exit} on' "$readme" |
    sed 's/^### /## /' | lowdown -Tman | sed 's/\\fC/\\fB/g'
} >"$work/romtool.h2m"
grep -q 'Exit codes' "$work/romtool.h2m"

page() {
  local name="$1" program="$2" what="$3"
  local include=()
  [ -f "$work/$name.h2m" ] && include=(--include="$work/$name.h2m")
  help2man --no-info --name="$what" "${include[@]}" --output="$work/$name.1" "$program"
  # Each command's heading becomes a subsection of its own.
  sed -e 's/^romtool \([a-z0-9-]*\):$/.SS "romtool \1"/' "$work/$name.1" >"$out/$name.1"
  [ -s "$out/$name.1" ] && grep -q '^\.SH DESCRIPTION' "$out/$name.1"
}
page romtool "$work/romtool" "drive a serial-port 27C64/27C128/27C256 EPROM programmer"
page romsim "$work/romsim" "emulate the 27C-series EPROM programmer on a pseudo-terminal"
page romprog "$romprog" "start the EPROM programmer's window program under Wine"
