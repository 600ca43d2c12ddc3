// The habits people bring from other programmer tools and from the parts in
// their hands, each met with the romtool command line that does the job:
// chip names as printed on parts, one-letter action flags, command words
// romtool does not have, typing slips.
#pragma once

#include <string>
#include <vector>

#include "core/chip_types.h"

namespace romtool {

// The chip type a name printed on a part belongs to: "2764", "27C64A",
// "27C256-15", "M27C256B", "AM27C128-20DC"; nullptr for none of romtool's.
const romprog::ChipType* ChipFamilyOf(const std::string& printed);

// What to say after "unknown option ARG" for args[i]: the romtool command
// line that does what the flag does elsewhere, or the nearest option; empty
// when there is nothing better to say.
std::string OptionHint(const std::vector<std::string>& args, std::size_t i);

// What to say about args[i] standing where the command word goes: the command
// that does what the word means, the nearest command, or, for a file, the
// commands that take it.
std::string CommandHint(const std::vector<std::string>& args, std::size_t i);

// The candidate `word` is most likely a slip for (at most 2 edits, fewer
// than half its letters); empty when none is.
std::string Nearest(const std::string& word, const std::vector<std::string>& candidates);

// A word as a POSIX shell takes it back: quoted when it holds anything but
// plain name characters, for the command lines the hints print.
std::string ShellWord(const std::string& word);

}  // namespace romtool
