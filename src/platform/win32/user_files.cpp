#include "platform/user_files.h"

#include <cstdlib>

namespace romprog {

std::string UserDataFile(const std::string& name) {
  const char* base = std::getenv("APPDATA");
  if (!base || !*base) return "";
  return std::string(base) + "\\romprog\\" + name;
}

}  // namespace romprog
