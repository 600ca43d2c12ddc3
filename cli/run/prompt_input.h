// Where the next-chip prompt of --repeat reads its answer: standard input,
// unless the image came there; then the terminal itself.
#pragma once

#include <cstdio>
#include <memory>

#include "cli/command_line/options.h"

namespace romtool {

struct ClosePrompt {
  void operator()(std::FILE* file) const {
    if (file && file != stdin) std::fclose(file);
  }
};
using PromptFile = std::unique_ptr<std::FILE, ClosePrompt>;

// stdin, or the terminal when the image is read from "-" (nullptr when
// there is none: then no prompt can be answered).
PromptFile PromptInput(const Options& options);

}  // namespace romtool
