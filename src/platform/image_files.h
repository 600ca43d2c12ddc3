// Image files by path: loading one into a copy of the buffer, so that the
// buffer itself is replaced only by a file that was read completely, and
// saving the active part of the buffer. The format comes from file_format.h.
#pragma once

#include <cstdint>
#include <optional>

#include "core/formats/file_format.h"
#include "core/formats/image_format.h"
#include "core/formats/record_lines.h"
#include "core/text.h"

namespace romprog {

struct LoadResult {
  bool opened = false;                     // opened, with a size
  bool loaded = false;                     // opened and read to its end, its text well-formed
  FileFormat format = FileFormat::Binary;  // of the reader that read it
  std::optional<FileFormat> shown;         // romtool's readings: what its first record shows
  ImageRead read;                          // what the reader found
  std::int64_t fileSize = -1;              // the size of the file, once opened
  Text problem;                            // the system's words when it did not open or read
};

// Fills all kBufferSize bytes of `image` with 0xFF and loads the file `path`
// into it. The window program's reading goes by the name alone (ReaderFor);
// romtool's readings take `forced` when given, else what the file's first
// record shows, else the name (FormatToRead).
LoadResult LoadImageFile(const Text& path, Reading reading, int activeSize, std::uint8_t* image,
                         std::optional<FileFormat> forced = std::nullopt);

// The largest image romtool reads whole: four 32 KiB chips side by side.
constexpr int kLargestImage = 4 * 32768;

// romtool's strict reading of `path` before any chip is chosen for it: the
// data records of Intel HEX and S-records into `data` at the file's own
// addresses; a raw image as one run at address 0 of its first kLargestImage
// bytes. The format as LoadImageFile's romtool readings choose it. With
// `lenient` the faults of a record are read past (CollectIntelHex).
LoadResult CollectImageFile(const Text& path, std::optional<FileFormat> forced, FileData& data,
                            bool lenient = false);

// Writes the first `activeSize` bytes of `image` as a file of `kind` at
// `path`, replacing one of that name only on success.
bool SaveImage(const Text& path, const FileKind& kind, const std::uint8_t* image, int activeSize);
// The same, with the system's words for a failure in `problem`.
bool SaveImage(const Text& path, const FileKind& kind, const std::uint8_t* image, int activeSize,
               Text& problem);

}  // namespace romprog
