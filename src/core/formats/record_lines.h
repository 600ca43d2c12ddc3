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

// Hands each record line of `text` with its 1-based number to `take`, which
// answers with what is wrong with it (empty when nothing is). Lines end at
// CR, LF or CR LF; trailing blanks are cut off and blank lines skipped. The
// first 0x1A ends the text: a padding line of them, or padding right behind
// a record, is not read. The first fault is the load's, with its 1-based
// line number. `lastLine` gets the number of the last record line.
TextLoad ReadRecordLines(
    const std::uint8_t* text, std::size_t size,
    const std::function<std::string(const std::string& line, int number)>& take,
    int* lastLine = nullptr);

// How a reader that checks every line takes a fault in a record: strictly
// the first one refuses the file; with `lenient` (romtool --lenient, the
// user knowing the file is faulty) each is read past, and the first is kept
// for the note that says so.
class FaultPolicy {
 public:
  explicit FaultPolicy(bool lenient) : lenient_(lenient) {}
  bool Lenient() const { return lenient_; }
  // `fault` (not empty) on `line`: what the load fails with, empty when it
  // is read past.
  std::string Take(const std::string& fault, int line);
  // The faults read past into `load` (nothing when none was).
  void Into(TextLoad& load) const;

 private:
  bool lenient_;
  int count_ = 0;
  int firstLine_ = 0;
  std::string first_;
};

// The hex pairs of `line` from `from` to its end into `bytes`; what is wrong
// with them, empty when nothing is.
std::string DecodeHexPairs(const std::string& line, std::size_t from,
                           std::vector<std::uint8_t>& bytes);

// One data record of a file as it lies: its address is the file's, not yet
// a cell of any chip.
struct DataRun {
  std::uint32_t address = 0;
  std::vector<std::uint8_t> bytes;
  int line = 0;  // where the file gives it
};
// A file's data records in file order.
using FileData = std::vector<DataRun>;

// Two records of `data` that give one address different values: the fault
// (naming the address, both values and the earlier record's line) with
// `line` set to the later record's; empty when every overlap agrees.
std::string FindConflict(const FileData& data, int& line);

// The faults of a text as a whole, once every line is read and `load` is
// still ok: `endFault` of the reader's own on `endLine` (no end record),
// then records that contradict each other (FindConflict). Each refuses the
// load unless `faults` reads it past.
void CheckWholeText(const std::string& endFault, int endLine, const FileData& data,
                    FaultPolicy& faults, TextLoad& load);

// Which of a file's addresses a chip sees: `base` is its cell 0, and it has
// `size` cells.
struct AddressWindow {
  std::uint32_t base = 0;
  int size = 0;
};

// The runs of `data` stored in `image` at their address less the window's
// base, when `collected` (the reading that gave them) found no fault; else
// that fault, nothing stored. The first run with a byte outside the window
// refuses the load, naming its line and range. The loaded extent is counted
// in cells.
TextLoad PlaceRuns(const FileData& data, const TextLoad& collected, const AddressWindow& window,
                   std::uint8_t* image);

// The data records `collect` (a function of the text, its size and the
// FileData to fill) finds, placed in a chip of `activeSize` cells that sees
// the file's addresses from 0.
template <class Collect>
TextLoad ReadIntoChip(const Collect& collect, const std::uint8_t* text, std::size_t size,
                      std::uint8_t* image, int activeSize) {
  FileData data;
  const TextLoad collected = collect(text, size, data);
  return PlaceRuns(data, collected, AddressWindow{0, activeSize}, image);
}

}  // namespace romprog
