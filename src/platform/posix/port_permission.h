// What to do about a serial device the user may not open, from the device's
// own owner, group and mode: join its group when the group may use it, else
// give it one.
#pragma once

#include <string>

namespace romprog::posix {

std::string PermissionAdvice(const std::string& device);

}  // namespace romprog::posix
