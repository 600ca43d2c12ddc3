// romtool: the programmer and the image files from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/base/exit_code.h"
#include "cli/command_line/command_table.h"
#include "cli/command_line/help.h"
#include "cli/command_line/options.h"

int main(int argc, char** argv) {
  using namespace romtool;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const Streams streams{stdout, stderr};
  Options options;
  std::string error;
  if (!ParseOptions(args, options, error)) {
    return Fail(streams, kUsageOrFile, error + "\nTry 'romtool --help'.");
  }
  if (!options.chipNote.empty())
    std::fprintf(stderr, "romtool: note: %s\n", options.chipNote.c_str());
  if (options.version) {
    std::printf("romtool %s\n", ROMTOOL_VERSION);
    return kSuccess;
  }
  if (options.help) {
    std::fputs(HelpText(options.command).c_str(), stdout);
    return kSuccess;
  }
  return RowOf(options.command)->run(options, streams);
}
