// A chip command's run: what it prepares before any port opens, then its job
// on every port given, chip after chip with --repeat (next_chip_loop.h), an
// entry in the job log for each.
#pragma once

#include "cli/base/streams.h"
#include "cli/command_line/options.h"
#include "cli/run/chip_job.h"

namespace romtool {

// Runs a chip command on every port given and adds an entry per port to the
// job log; Ctrl-C stops it between two cells. The exit code.
int RunChipCommand(const Options& options, const Streams& streams, const ChipSteps& steps);

}  // namespace romtool
