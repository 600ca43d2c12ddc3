// How many exchanges with the chip a chip command plans, so its progress
// can tell the whole job's percent and time left from the first step on.
#pragma once

#include "cli/options.h"

namespace romtool {

// The steps of `options`' job when all goes well: a write's check, the
// write and its read-back; each pass of a read; one for blank and verify.
int PlannedSteps(const Options& options);

}  // namespace romtool
