// The image files romtool reads and writes, told apart by their extension:
// ".hex" Intel HEX, ".srec", ".s19", ".mot" S-records with 16-bit addresses,
// ".s28" with 24-bit ones, anything else a raw binary image.
#pragma once

#include <cstdint>
#include <string>

#include "core/formats/file_format.h"

namespace romtool {

using romprog::FileFormat;
using romprog::FileKind;
using romprog::FormatName;
using romprog::KindOf;

// Fills all 32768 bytes of `image` with 0xFF and loads `path` into it for a
// chip of `activeSize` bytes; Intel HEX strictly, or by the window program's
// reading rules when `lenient`. false with `error` set when the file cannot
// be read, is damaged or gives the chip nothing; `note` tells about a file
// that does not fit the chip.
bool LoadImage(const std::string& path, int activeSize, std::uint8_t* image, std::string& note,
               std::string& error, bool lenient = false);

// Writes the first `activeSize` bytes of `image` to `path` in the format of
// its extension, replacing a file of that name only on success.
bool SaveImage(const std::string& path, const std::uint8_t* image, int activeSize,
               std::string& error);

// Whether `path` names a place a file can be saved at (its folder exists);
// checked before a chip is read, so a long read does not end in nothing.
bool CanSaveAt(const std::string& path, std::string& error);

}  // namespace romtool
