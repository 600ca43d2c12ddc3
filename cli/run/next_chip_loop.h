// A run of chip jobs on every port given: one round for a single job, or
// with --repeat round after round, the user putting the next chips in
// between; a line per chip, the tally, and a summary at the end.
// --serial gives each chip its number.
#pragma once

#include <cstdio>

#include "cli/run/port_workers.h"

namespace romtool {

// The command on every port in options.ports; the next round starts when
// the user says so on `input` (Enter; q or the end of it finishes). The
// exit code: 0 only when every chip passed.
int RunOnPorts(const Options& options, const Streams& streams, const ChipSteps& steps,
               const romprog::Image& image, const JobRecord& base, std::FILE* input = stdin);

}  // namespace romtool
