// Reading an image from a byte source: Intel HEX text or a raw image.
#pragma once

#include <cstdint>

#include "core/byte_source.h"

namespace romprog {

// Reads Intel HEX text from `source` to its end into `image`; false on a
// read error. `extent` receives the end of the highest record.
bool LoadIntelHex(ByteSource& source, std::uint8_t* image, int activeSize, int& extent);

// Reads the first bytes of a raw image of `fileSize` bytes into `image`, as
// many as `activeSize` allows; false on a read error or when the source ends
// before it has given them.
bool LoadBinary(ByteSource& source, std::uint8_t* image, int activeSize, std::int64_t fileSize);

}  // namespace romprog
