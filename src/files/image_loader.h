// Loading an image file into a copy of the buffer, so that the buffer itself
// is replaced only by a file that was read completely.
#pragma once

#include <cstdint>

#include "files/file_io.h"
#include "shell/toolkit.h"

namespace romprog {

struct LoadResult {
  bool loaded = false;        // opened and read to its end without an error
  bool intelHex = false;      // read as Intel HEX (else as a raw image)
  int loadedExtent = 0;       // Intel HEX: the LoadedExtent
  std::int64_t fileSize = 0;  // raw image: the size of the file
};

// Reads Intel HEX text from `source` to its end into `image`; false on a
// read error. `extent` receives the LoadedExtent.
bool LoadIntelHex(ByteSource& source, std::uint8_t* image, int activeSize, int& extent);

// Reads the first bytes of a raw image of `fileSize` bytes into `image`, as
// many as `activeSize` allows; false on a read error or when the source ends
// before it has given them.
bool LoadBinary(ByteSource& source, std::uint8_t* image, int activeSize, std::int64_t fileSize);

// Fills all kBufferSize bytes of `image` with 0xFF and loads the file `path`
// into it: as Intel HEX when its FileExtension is "hex", else as a raw image.
LoadResult LoadImageFile(const Text& path, int activeSize, std::uint8_t* image);

}  // namespace romprog
