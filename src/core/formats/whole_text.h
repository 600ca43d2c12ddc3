// The readers that check a text line by line take all of it first: a fault
// anywhere refuses the file, so nothing is read from half a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/formats/image_format.h"

namespace romprog {

// No text file of an image for a 32 KiB chip comes near this.
constexpr std::int64_t kLongestText = 64 * 1024 * 1024;

// The `size` bytes of `source` into `text`; TooLarge above kLongestText,
// Unreadable when the source fails or ends first.
ReadStatus ReadWholeText(ByteSource& source, std::int64_t size, std::vector<std::uint8_t>& text);

// What a reader that checks every line makes of a text.
struct TextLoad {
  bool ok = true;
  int errorLine = 0;              // 1-based line of the first fault
  std::string error;              // what is wrong with it
  bool lenientReadsPast = false;  // as ImageRead's
  // The end of the data record with the highest start address, as the
  // lenient Intel HEX reader counts it; 0 when the text holds no data.
  int loadedExtent = 0;
  // --lenient: how many faults were read past, and the first with its line.
  int faultsReadPast = 0;
  int readPastLine = 0;
  std::string readPast;
};

// The whole of `source`, checked by `check` (a function of the text and its
// size), as the reader's result.
template <class Check>
ImageRead ReadCheckedText(ByteSource& source, std::int64_t size, const Check& check) {
  std::vector<std::uint8_t> text;
  ImageRead result;
  result.status = ReadWholeText(source, size, text);
  if (result.status != ReadStatus::Read) return result;
  const TextLoad load = check(text.data(), text.size());
  result.status = load.ok ? ReadStatus::Read : ReadStatus::Damaged;
  result.errorLine = load.errorLine;
  result.error = load.error;
  result.lenientReadsPast = load.lenientReadsPast;
  result.loadedExtent = load.loadedExtent;
  result.faultsReadPast = load.faultsReadPast;
  result.readPastLine = load.readPastLine;
  result.readPast = load.readPast;
  return result;
}

}  // namespace romprog
