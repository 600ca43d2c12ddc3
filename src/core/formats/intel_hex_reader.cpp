#include "core/formats/intel_hex_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "core/hex_text.h"
#include "core/image.h"

namespace romprog {
namespace {

// A field at 1-based `position` and `width` characters of a line `length`
// characters long, cut short where the line ends.
unsigned Field(const char* line, std::size_t length, std::size_t position, std::size_t width) {
  const std::size_t start = position - 1;
  if (start >= length) return 0;
  return ReadHexField(line + start, std::min(width, length - start));
}

bool IsLineEnd(std::uint8_t c) {
  return c == '\n' || c == '\r' || c == '\0';
}

constexpr std::size_t kChunk = 64 * 1024;

}  // namespace

IntelHexReader::IntelHexReader(std::uint8_t* image, int activeSize)
    : image_(image), activeSize_(activeSize) {}

// A CR LF pair ends one line at the CR and an empty one at the LF; an empty
// line reads as count 0 and is skipped, so the pair needs no state of its own.
void IntelHexReader::Feed(const std::uint8_t* text, std::size_t size) {
  const std::uint8_t* end = text + size;
  while (text != end) {
    const std::uint8_t* stop = std::find_if(text, end, IsLineEnd);
    const std::size_t run = static_cast<std::size_t>(stop - text);
    const std::size_t keep = std::min(run, kLineLimit - std::min(lineLength_, kLineLimit));
    std::memcpy(line_ + std::min(lineLength_, kLineLimit), text, keep);
    lineLength_ = std::min(lineLength_ + run, kLineLimit);
    text = stop;
    if (text != end) {
      EndLine();
      ++text;
    }
  }
}

int IntelHexReader::Finish() {
  if (lineLength_ > 0) EndLine();
  return highest_.Extent();
}

void IntelHexReader::EndLine() {
  const std::size_t length = lineLength_;
  lineLength_ = 0;
  const unsigned count = Field(line_, length, 2, 2);
  const unsigned address = Field(line_, length, 4, 4);
  const unsigned type = Field(line_, length, 8, 2);
  // An extended address record (02 segment, 04 linear) with a non-zero base
  // puts the data records after it above the 64 KiB their own address field
  // reaches, beyond every chip: they are dropped, not folded onto the low
  // addresses. A base of 0 brings them back.
  if (type == 2 || type == 4) dropping_ = Field(line_, length, 10, 4) != 0;
  if (dropping_ || type != 0 || count == 0 || static_cast<long>(address) >= activeSize_) return;
  highest_.Take(static_cast<long>(address), static_cast<long>(count));
  // Bytes past the end of the image are dropped: with the largest chip a
  // record may start at its last byte and claim up to 255 more.
  constexpr unsigned kEnd = static_cast<unsigned>(kBufferSize);
  const unsigned room = address < kEnd ? kEnd - address : 0;
  const unsigned stored = std::min(count, room);
  for (unsigned k = 0; k < stored; ++k) {
    image_[address + k] = static_cast<std::uint8_t>(Field(line_, length, 10 + 2 * k, 2));
  }
}

int ReadIntelHex(const std::uint8_t* text, std::size_t size, std::uint8_t* image, int activeSize) {
  IntelHexReader reader(image, activeSize);
  reader.Feed(text, size);
  return reader.Finish();
}

ImageRead LenientHexReader::Read(ByteSource& source, std::int64_t /*size*/, std::uint8_t* image,
                                 int activeSize) const {
  IntelHexReader reader(image, activeSize);
  std::vector<std::uint8_t> chunk(kChunk);
  ImageRead result;
  for (;;) {
    const std::int64_t got = source.Read(chunk.data(), chunk.size());
    if (got < 0) {
      result.status = ReadStatus::Unreadable;
      return result;
    }
    if (got == 0) break;
    reader.Feed(chunk.data(), static_cast<std::size_t>(got));
  }
  result.loadedExtent = reader.Finish();
  return result;
}

}  // namespace romprog
