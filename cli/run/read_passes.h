// The passes of `read --passes`: the chip read again and again into one
// merge (core/rescue/pass_merge.h), and what is kept when the passes do not
// all agree or the user stops between them: the merge under a name no one
// takes for a clean read, and the list of unstable cells beside it.
#pragma once

#include <string>

#include "cli/run/chip_job.h"
#include "core/rescue/pass_merge.h"

namespace romtool {

// Pass after pass into `merge` until the passes asked are made, or
// --until-stable K passes in a row found no new unstable cell. The exit
// code of the pass that failed (kStopped for Ctrl-C, between passes too);
// the passes finished before it are in `merge`.
int ReadPasses(const ChipJob& job, romprog::PassMerge& merge);

// FILE's stem with `mark` and then `extension` ("" keeps FILE's own):
// rom.bin, ".merged" -> rom.merged.bin.
std::string NameBeside(const std::string& file, const std::string& mark,
                       const std::string& extension = "");

// The unstable cells, one line each, as the list file holds them.
std::string UnstableListText(const ChipJob& job, const romprog::PassMerge& merge);

// The merge kept beside FILE (and the list of unstable cells when there are
// any), said on the output; `stopped` when Ctrl-C cut the passes short. The
// exit code: kUnstable, or kStopped.
int KeepMerged(const ChipJob& job, const romprog::PassMerge& merge, bool stopped);

}  // namespace romtool
