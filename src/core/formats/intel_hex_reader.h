// Reading Intel HEX text into the image, leniently: no line is refused, no
// checksum is checked, only data records count, and the whole text is read.
// Extended address records only decide whether the data after them lies
// within the first 64 KiB (base 0) or is dropped.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/formats/image_format.h"
#include "core/formats/record_lines.h"

namespace romprog {

// Takes the text in pieces of any size, as a file delivers it, so a line may
// be split anywhere and may be of any length.
class IntelHexReader {
 public:
  // `image` has room for kBufferSize bytes; nothing is ever stored past it.
  // Records starting at or above `activeSize` are skipped.
  IntelHexReader(std::uint8_t* image, int activeSize);

  void Feed(const std::uint8_t* text, std::size_t size);
  // Takes the last line when no line end follows it and returns the end of
  // the highest record: the end of the accepted record with the highest
  // start address (the first such record in the text), 0 when none was.
  int Finish();

 private:
  // The characters of a line that can matter: the header and 255 data bytes.
  static constexpr std::size_t kLineLimit = 9 + 2 * 255;

  void EndLine();

  std::uint8_t* image_;
  int activeSize_;
  char line_[kLineLimit];
  std::size_t lineLength_ = 0;  // characters kept of the current line
  HighestRecord highest_;
  bool dropping_ = false;  // an extended address above 64 KiB is in force
};

// The whole text at once.
int ReadIntelHex(const std::uint8_t* text, std::size_t size, std::uint8_t* image, int activeSize);

// The window program's Intel HEX reader: the source to its end, whatever size
// it was given, in pieces through IntelHexReader. Unreadable only on a read
// error; the text itself is never refused.
class LenientHexReader final : public ImageReader {
 public:
  FileFormat Format() const override { return FileFormat::IntelHex; }
  ImageRead Read(ByteSource& source, std::int64_t size, std::uint8_t* image,
                 int activeSize) const override;
};

}  // namespace romprog
