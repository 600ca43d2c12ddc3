#include "sim/device/cell_faults.h"

#include <algorithm>

namespace romprog::sim {

CellFaults::CellFaults(const FaultOptions& options) : options_(options), draws_(options.weakSeed) {}

int CellFaults::Reached(int address) const {
  return options_.deadLine >= 0 ? address & ~(1 << options_.deadLine) : address;
}

const std::vector<int>& CellFaults::WeakBits(const std::uint8_t* chip, int size) {
  if (pickedFor_ != size) PickWeakBits(chip, size);
  return weak_;
}

// The programmed (0) bits in the first `size` cells, then the first
// options_.weakBits of a shuffle by the seed's own generator, so the choice
// does not depend on how many reads came before.
void CellFaults::PickWeakBits(const std::uint8_t* chip, int size) {
  pickedFor_ = size;
  std::vector<int> programmed;
  for (int cell = 0; cell < size; ++cell) {
    for (int bit = 0; bit < 8; ++bit) {
      if (((chip[cell] >> bit) & 1) == 0) programmed.push_back(cell * 8 + bit);
    }
  }
  std::mt19937 pick(options_.weakSeed);
  const int count = std::min(options_.weakBits, static_cast<int>(programmed.size()));
  for (int k = 0; k < count; ++k) {
    const std::uint32_t span = static_cast<std::uint32_t>(programmed.size() - k);
    std::swap(programmed[k], programmed[k + static_cast<int>(pick() % span)]);
  }
  weak_.assign(programmed.begin(), programmed.begin() + count);
  std::sort(weak_.begin(), weak_.end());
  weakMask_.assign(static_cast<std::size_t>(size), 0);
  for (int at : weak_) weakMask_[at / 8] |= static_cast<std::uint8_t>(1u << (at % 8));
}

std::uint8_t CellFaults::Read(const std::uint8_t* chip, int size, int cell, std::uint8_t value) {
  if (options_.weakBits > 0) {
    if (pickedFor_ != size) PickWeakBits(chip, size);
    for (unsigned mask = weakMask_[cell]; mask != 0; mask &= mask - 1) {
      const unsigned bit = mask & (~mask + 1);
      // 24 bits of the generator as a fraction: the same on every platform.
      const double draw = static_cast<double>(draws_() >> 8) / 16777216.0;
      if (draw < options_.weakChance) value |= static_cast<std::uint8_t>(bit);
    }
  }
  if (options_.stuckBit >= 0) {
    const auto bit = static_cast<std::uint8_t>(1u << options_.stuckBit);
    value = options_.stuckValue ? static_cast<std::uint8_t>(value | bit)
                                : static_cast<std::uint8_t>(value & ~bit);
  }
  return value;
}

}  // namespace romprog::sim
