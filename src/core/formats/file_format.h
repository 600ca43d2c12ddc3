// The image file formats and the one place that tells them apart by name and
// hands out their readers and writers.
#pragma once

#include "core/text.h"

namespace romprog {

class ImageReader;
class ImageWriter;

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

// Whose rules a file is read by.
enum class Reading {
  WindowProgram,  // Intel HEX leniently; S-records are unknown to it and read as raw images
  Strict,         // romtool: Intel HEX and S-records checked line by line
  LenientHex,     // romtool --lenient: Intel HEX as the window program reads it
};

// The reader for the file `name` under `reading`'s rules.
const ImageReader& ReaderFor(const Text& name, Reading reading);
// The writer of files of `kind`.
const ImageWriter& WriterFor(const FileKind& kind);

}  // namespace romprog
