// romtool's help, made from the command and option tables.
#pragma once

#include <string>

#include "cli/command_line/options.h"

namespace romtool {

// The help text of a command, or the general one for Command::None.
std::string HelpText(Command command);

}  // namespace romtool
