// Text as the program keeps it: Windows-1251 bytes.
#pragma once

#include <string>

namespace romprog {

using Text = std::string;  // Windows-1251 bytes

}  // namespace romprog
