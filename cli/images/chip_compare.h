// What a chip read tells next to an image: how blank the chip is, where it
// differs, and whether programming alone (which only clears bits) can close
// the difference.
#pragma once

#include <cstdint>
#include <vector>

namespace romtool {

// Programmed cells are those not 0xFF; programmed bits are their 0 bits.
struct BlankMeasure {
  int cells = 0;
  int bits = 0;
  int first = -1;  // -1 when the chip is blank
  int last = -1;
};
BlankMeasure MeasureBlank(const std::uint8_t* chip, int size);

// A run of neighbouring differing cells.
struct CellRange {
  int first = 0;
  int last = 0;
};

struct Differences {
  int cells = 0;                  // cells that differ
  std::vector<CellRange> ranges;  // every run, in address order
  int needSetting = 0;            // cells that need a bit set (0 to 1)
  std::vector<int> settingCells;  // the first kListed of them
};
constexpr int kListed = 20;

Differences Compare(const std::uint8_t* chip, const std::uint8_t* image, int size);

// 4 or 2 when the image is that many identical copies of its first part
// (4 checked first), else 1. An image of one value throughout counts 1: a
// blank chip says nothing about its address lines.
int RepeatedCopies(const std::uint8_t* image, int size);

}  // namespace romtool
