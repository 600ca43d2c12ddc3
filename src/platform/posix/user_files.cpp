#include "platform/user_files.h"

#include <cstdlib>

namespace romprog {

std::string UserDataFile(const std::string& name) {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data) return std::string(data) + "/romprog/" + name;
  const char* home = std::getenv("HOME");
  if (!home || !*home) return "";
  return std::string(home) + "/.local/share/romprog/" + name;
}

}  // namespace romprog
