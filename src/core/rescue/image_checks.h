// What an image shows of a bad read, found from the image alone: a data line
// that never moves (a bit fixed in every cell), an address line that does
// nothing (every cell equal to the cell with that line flipped: identical
// halves, quarters or smaller blocks), an overdump (the image is copies of
// its first half or quarter) and regions blank (0xFF) or zero. Each comes
// with its evidence; none is a fault by itself (many real ROMs are half
// empty), so the caller tells them as notes.
#pragma once

#include <cstdint>
#include <vector>

namespace romprog {

enum class CheckKind {
  OneValue,      // every cell holds `value`
  FixedBit,      // data bit `bit` reads `value` in every cell
  Overdump,      // `copies` identical copies of the first size/copies cells
  MirroredLine,  // address line A`line` changes nothing
  BlankRegion,   // `spans`: runs of 0xFF
  ZeroRegion,    // `spans`: runs of 0x00
};

struct CellSpan {
  int first = 0;
  int last = 0;
};

struct CheckFinding {
  CheckKind kind = CheckKind::OneValue;
  int bit = -1;
  int value = 0;
  int line = -1;
  int copies = 0;
  // OneValue, FixedBit: the whole image. Overdump: the first part, then each
  // copy. MirroredLine: the first block with the line low, then its copy with
  // the line high. Regions: every run, in address order.
  std::vector<CellSpan> spans;
};

// Runs of blank or zero cells shorter than this are ordinary data.
constexpr int kRegionCells = 256;

// Every finding on the first `size` cells (a power of two), in the order of
// the kinds above.
std::vector<CheckFinding> CheckImage(const std::uint8_t* image, int size);

}  // namespace romprog
