#include "cli/images/chip_compare.h"

#include <algorithm>
#include <bitset>
#include <cstring>

namespace romtool {
namespace {

bool Repeats(const std::uint8_t* image, int size, int copies) {
  const int part = size / copies;
  for (int k = 1; k < copies; ++k) {
    if (std::memcmp(image, image + k * part, static_cast<std::size_t>(part)) != 0) return false;
  }
  return true;
}

}  // namespace

BlankMeasure MeasureBlank(const std::uint8_t* chip, int size) {
  BlankMeasure measure;
  for (int address = 0; address < size; ++address) {
    if (chip[address] == 0xFF) continue;
    ++measure.cells;
    measure.bits += 8 - static_cast<int>(std::bitset<8>(chip[address]).count());
    if (measure.first < 0) measure.first = address;
    measure.last = address;
  }
  return measure;
}

Differences Compare(const std::uint8_t* chip, const std::uint8_t* image, int size) {
  Differences found;
  for (int address = 0; address < size; ++address) {
    if (chip[address] == image[address]) continue;
    ++found.cells;
    if (!found.ranges.empty() && found.ranges.back().last == address - 1) {
      found.ranges.back().last = address;
    } else {
      found.ranges.push_back({address, address});
    }
    // Programming clears bits only: a 1 the image wants where the chip has a 0
    // needs an erase.
    if ((image[address] & ~chip[address]) == 0) continue;
    if (found.needSetting++ < kListed) found.settingCells.push_back(address);
  }
  return found;
}

int RepeatedCopies(const std::uint8_t* image, int size) {
  if (std::all_of(image, image + size, [image](std::uint8_t b) { return b == image[0]; })) return 1;
  if (Repeats(image, size, 4)) return 4;
  return Repeats(image, size, 2) ? 2 : 1;
}

}  // namespace romtool
