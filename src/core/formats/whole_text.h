// The readers that check a text line by line take all of it first: a fault
// anywhere refuses the file, so nothing is read from half a file.
#pragma once

#include <cstdint>
#include <vector>

#include "core/formats/image_format.h"

namespace romprog {

// No text file of an image for a 32 KiB chip comes near this.
constexpr std::int64_t kLongestText = 64 * 1024 * 1024;

// The `size` bytes of `source` into `text`; TooLarge above kLongestText,
// Unreadable when the source fails or ends first.
ReadStatus ReadWholeText(ByteSource& source, std::int64_t size, std::vector<std::uint8_t>& text);

// A checked text's load as the reader's result.
template <class Load>
ImageRead Reported(const Load& load) {
  ImageRead result;
  result.status = load.ok ? ReadStatus::Read : ReadStatus::Damaged;
  result.errorLine = load.errorLine;
  result.error = load.error;
  result.loadedExtent = load.loadedExtent;
  return result;
}

}  // namespace romprog
