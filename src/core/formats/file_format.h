// The image file formats and the one table that tells them apart by name and
// hands out their readers and writers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/text.h"

namespace romprog {

class ImageReader;
class ImageWriter;

enum class FileFormat { IntelHex, SRecord, Binary };

struct FileKind {
  FileFormat format = FileFormat::Binary;
  int addressBytes = 2;  // S-records only
};

// By the name's FileExtension: "hex", "ihx", "ihex" Intel HEX; "srec", "s19",
// "mot" S-records with 16-bit addresses, "s28" with 24-bit ones; anything
// else a raw binary image.
FileKind KindOf(const Text& name);
// The format the name's extension is listed under, none for an extension no
// format claims ("bin" is claimed by raw images).
std::optional<FileFormat> FormatClaimedBy(const Text& name);
const char* FormatName(FileFormat format);
// The format romtool's `--format` calls `word`: "ihex", "srec" or "bin".
std::optional<FileFormat> FormatCalled(const Text& word);

// Whose rules a file is read by.
enum class Reading {
  WindowProgram,  // by the name only: ".hex" Intel HEX leniently, anything else a raw image
  Strict,         // romtool: Intel HEX and S-records checked line by line
  LenientHex,     // romtool --lenient: Intel HEX as the window program reads it
};

// The reader for the file `name` under `reading`'s rules, by its name.
const ImageReader& ReaderFor(const Text& name, Reading reading);
// The reader for files of `format` under romtool's `reading` (Strict or LenientHex).
const ImageReader& ReaderFor(FileFormat format, Reading reading);
// The writer of files of `kind`.
const ImageWriter& WriterFor(const FileKind& kind);

// How romtool takes a file that begins with the `size` bytes of `head`:
// `forced` when given, else the format its first record shows, else the one
// its name says.
FileFormat FormatToRead(const Text& name, const std::uint8_t* head, std::size_t size,
                        std::optional<FileFormat> forced);

}  // namespace romprog
