// Image files by path: loading one into a copy of the buffer, so that the
// buffer itself is replaced only by a file that was read completely, and
// saving the active part of the buffer.
#pragma once

#include <cstdint>

#include "core/text.h"

namespace romprog {

struct LoadResult {
  bool loaded = false;        // opened and read to its end without an error
  bool intelHex = false;      // read as Intel HEX (else as a raw image)
  int loadedExtent = 0;       // Intel HEX: the end of the highest record
  std::int64_t fileSize = 0;  // raw image: the size of the file
};

// Fills all kBufferSize bytes of `image` with 0xFF and loads the file `path`
// into it: as Intel HEX when KindOf names it so, else as a raw image.
LoadResult LoadImageFile(const Text& path, int activeSize, std::uint8_t* image);

// Writes the file `path`, replacing one of that name only on success.
bool SaveImage(const Text& path, const std::uint8_t* image, int activeSize, bool intelHex);

}  // namespace romprog
