// romtool: the programmer and the image files from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/options.h"

int main(int argc, char** argv) {
  using namespace romtool;
  const std::vector<std::string> args(argv + 1, argv + argc);
  Options options;
  std::string error;
  if (!ParseOptions(args, options, error)) {
    std::fprintf(stderr, "romtool: %s\nTry 'romtool --help'.\n", error.c_str());
    return 2;
  }
  if (options.version) {
    std::printf("romtool %s\n", ROMTOOL_VERSION);
    return 0;
  }
  if (options.help) {
    std::fputs(HelpText(options.command).c_str(), stdout);
    return 0;
  }
  return RunCommand(options, Streams{stdout, stderr});
}
