// Where a user's files for romprog's programs belong on this system.
#pragma once

#include <string>

namespace romprog {

// `name` in romprog's folder of the user's data: %APPDATA%\romprog on
// Windows, $XDG_DATA_HOME/romprog or ~/.local/share/romprog elsewhere;
// empty when the environment names no such folder.
std::string UserDataFile(const std::string& name);

}  // namespace romprog
