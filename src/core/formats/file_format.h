// The image file formats and the one place that tells them apart by name.
#pragma once

#include "core/text.h"

namespace romprog {

enum class FileFormat { IntelHex, SRecord, Binary };

struct FileKind {
  FileFormat format = FileFormat::Binary;
  int addressBytes = 2;  // S-records only
};

// By the name's FileExtension: "hex" Intel HEX; "srec", "s19", "mot"
// S-records with 16-bit addresses, "s28" with 24-bit ones; anything else a
// raw binary image.
FileKind KindOf(const Text& name);
const char* FormatName(FileFormat format);

}  // namespace romprog
