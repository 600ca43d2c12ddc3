// The one small interface every image file format stands behind: a reader
// fills the 32 KiB image from the file's bytes, a writer makes the file's
// bytes from the image's active part. Neither touches a file; which of them
// a file takes is chosen in file_format.h: by its name, or for romtool by its
// first record.
#pragma once

#include <cstdint>
#include <string>

#include "core/byte_source.h"
#include "core/formats/file_format.h"

namespace romprog {

enum class ReadStatus {
  Read,        // read to its end
  Unreadable,  // the source failed, or ended before the size it was given
  TooLarge,    // more text than a reader that checks it whole takes
  Damaged,     // a line is wrong: errorLine and error say which and how
};

struct ImageRead {
  ReadStatus status = ReadStatus::Read;
  int errorLine = 0;  // 1-based
  std::string error;
  // The fault is in a record's characters, count or checksum, which the
  // window program's lenient Intel HEX reading reads past; not data outside
  // the chip, nor a line that is no record at all.
  bool lenientReadsPast = false;
  // Text formats: the end of the data record with the highest start address,
  // 0 when none was taken. Raw images: 0.
  int loadedExtent = 0;
  // --lenient: how many faults were read past, and the first with its line.
  int faultsReadPast = 0;
  int readPastLine = 0;
  std::string readPast;
};

class ImageReader {
 public:
  virtual ~ImageReader() = default;
  virtual FileFormat Format() const = 0;
  // Reads a file of `size` bytes from `source` into `image` (room for
  // kBufferSize bytes; nothing is stored past it) for a chip of `activeSize`
  // bytes. Cells the file does not give keep what they held.
  virtual ImageRead Read(ByteSource& source, std::int64_t size, std::uint8_t* image,
                         int activeSize) const = 0;
};

class ImageWriter {
 public:
  virtual ~ImageWriter() = default;
  // The whole content of the file for the first `activeSize` bytes of `image`.
  virtual std::string Write(const std::uint8_t* image, int activeSize) const = 0;
};

}  // namespace romprog
