#include "cli/run/prompt_input.h"

#include "cli/base/standard_streams.h"
#include "platform/console.h"

namespace romtool {

PromptFile PromptInput(const Options& options) {
  const bool imageOnStdin = !options.files.empty() && IsStandardStream(options.files[0]);
  if (!options.repeat || !imageOnStdin) return PromptFile(stdin);
  return PromptFile(romprog::OpenConsoleInput());
}

}  // namespace romtool
