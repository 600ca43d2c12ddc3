// Saving the active part of the buffer as Intel HEX or as a raw image.
#pragma once

#include <cstdint>
#include <string>

#include "shell/toolkit.h"

namespace romprog {

// The whole content of the file: Intel HEX text, or exactly the first
// `activeSize` bytes of `image`.
std::string ImageFileContent(const std::uint8_t* image, int activeSize, bool intelHex);

// Writes the file `path`, replacing one of that name only on success.
bool SaveImage(const Text& path, const std::uint8_t* image, int activeSize, bool intelHex);

}  // namespace romprog
