// What each romtool command does, once its command line has been parsed.
#pragma once

#include <cstdio>

#include "cli/options.h"

namespace romtool {

struct Streams {
  std::FILE* out;  // results
  std::FILE* err;  // messages and progress
};

// Runs a parsed command: the process's exit code.
int RunCommand(const Options& options, const Streams& streams);

}  // namespace romtool
