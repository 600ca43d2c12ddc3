#include "core/rescue/pass_merge.h"

#include <bitset>

namespace romprog {

PassMerge::PassMerge(int size)
    : size_(size),
      and_(static_cast<std::size_t>(size), 0xFF),
      or_(static_cast<std::size_t>(size), 0x00),
      zeros_(static_cast<std::size_t>(size) * 8, 0) {}

int PassMerge::Add(const std::uint8_t* pass) {
  int fresh = 0;
  for (int a = 0; a < size_; ++a) {
    const std::uint8_t value = pass[a];
    const bool wasUnstable = passes_ > 0 && and_[a] != or_[a];
    and_[a] &= value;
    or_[a] |= value;
    // Only the zero bits are counted; a pass adds nothing for a 0xFF.
    for (unsigned zeros = static_cast<std::uint8_t>(~value); zeros != 0; zeros &= zeros - 1) {
      ++zeros_[static_cast<std::size_t>(a) * 8 + static_cast<std::size_t>(__builtin_ctz(zeros))];
    }
    if (!wasUnstable && and_[a] != or_[a]) ++fresh;
  }
  ++passes_;
  unstableCells_ += fresh;
  return fresh;
}

int PassMerge::UnstableBits() const {
  int bits = 0;
  for (int a = 0; a < size_; ++a) bits += static_cast<int>(std::bitset<8>(and_[a] ^ or_[a]).count());
  return bits;
}

std::vector<UnstableCell> PassMerge::UnstableList() const {
  std::vector<UnstableCell> cells;
  for (int a = 0; a < size_; ++a) {
    if (!IsUnstable(a)) continue;
    UnstableCell cell;
    cell.address = a;
    cell.bits = static_cast<std::uint8_t>(and_[a] ^ or_[a]);
    cell.merged = and_[a];
    for (int bit = 0; bit < 8; ++bit) {
      cell.zeros[bit] = zeros_[static_cast<std::size_t>(a) * 8 + static_cast<std::size_t>(bit)];
      cell.ones[bit] = passes_ - cell.zeros[bit];
    }
    cells.push_back(cell);
  }
  return cells;
}

}  // namespace romprog
