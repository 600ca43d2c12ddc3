// The active part of the buffer as the content of an Intel HEX or raw image file.
#pragma once

#include <cstdint>
#include <string>

namespace romprog {

// The whole content of the file: Intel HEX text, or exactly the first
// `activeSize` bytes of `image`.
std::string ImageFileContent(const std::uint8_t* image, int activeSize, bool intelHex);

}  // namespace romprog
