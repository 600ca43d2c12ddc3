// What the two readers that check every line share: walking the record lines
// of a text, decoding their hex pairs, refusing data outside the chip and
// keeping the loaded extent. Each reader keeps only its own record layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/formats/whole_text.h"

namespace romprog {

// CP/M ends a text file at this byte and pads its last 128-byte sector with
// it (and with whatever the sector held before).
constexpr std::uint8_t kEndOfText = 0x1A;

// The end of the data record with the highest start address, the first such
// record in the text: the extent every Intel HEX and S-record reader reports.
class HighestRecord {
 public:
  void Take(long start, long count) {
    if (start <= highestStart_) return;
    highestStart_ = start;
    extent_ = static_cast<int>(start + count);
  }
  int Extent() const { return extent_; }

 private:
  long highestStart_ = -1;  // none yet
  int extent_ = 0;
};

// Hands each record line of `text` to `take`, which answers with what is
// wrong with it (empty when nothing is) and sets `last` when no line after it
// is to be read. Lines end at CR, LF or CR LF; trailing blanks are cut off
// and blank lines skipped. The first 0x1A ends the text: a padding line of
// them, or padding right behind a record, is not read. The first fault is
// the load's, with its 1-based line number.
TextLoad ReadRecordLines(
    const std::uint8_t* text, std::size_t size,
    const std::function<std::string(const std::string& line, bool& last)>& take);

// The hex pairs of `line` from `from` to its end into `bytes`; what is wrong
// with them, empty when nothing is.
std::string DecodeHexPairs(const std::string& line, std::size_t from,
                           std::vector<std::uint8_t>& bytes);

// The data records a reader takes: stored in the image only when every byte
// lies inside the chip, refused with their address range otherwise.
class ChipData {
 public:
  ChipData(std::uint8_t* image, int activeSize) : image_(image), activeSize_(activeSize) {}

  // Empty when stored; else the range and the chip's size.
  std::string Store(std::uint32_t start, const std::vector<std::uint8_t>& data);
  int LoadedExtent() const { return highest_.Extent(); }

 private:
  std::uint8_t* image_;
  int activeSize_;
  HighestRecord highest_;
};

}  // namespace romprog
