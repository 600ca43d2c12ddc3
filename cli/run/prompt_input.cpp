#include "cli/run/prompt_input.h"

#include "cli/base/standard_streams.h"

namespace romtool {

PromptFile PromptInput(const Options& options) {
  const bool imageOnStdin = !options.files.empty() && IsStandardStream(options.files[0]);
  if (!options.repeat || !imageOnStdin) return PromptFile(stdin);
#ifdef _WIN32
  return PromptFile(std::fopen("CONIN$", "r"));
#else
  return PromptFile(std::fopen("/dev/tty", "r"));
#endif
}

}  // namespace romtool
