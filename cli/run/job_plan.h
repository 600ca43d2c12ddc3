// How many exchanges with the chip a chip command plans, so its progress
// can tell the whole job's percent and time left from the first step on.
#pragma once

#include <string>

#include "cli/command_line/options.h"

namespace romtool {

// How many passes a read makes at most: --passes, else 100 with
// --until-stable.
int PassesAsked(const Options& options);

// The steps of `options`' job when all goes well: a write's check, the
// write and its read-back; each pass of a read (as many as it may make); one
// for blank and verify.
int PlannedSteps(const Options& options);

// What the progress calls a read's steps: "read" for one pass; "pass" for
// several, which the step counter numbers ("pass 2/20").
std::string ReadStepName(const Options& options);

}  // namespace romtool
