// Many reads of one chip merged into one image. A programmed EPROM bit is a
// charged cell that reads 0; as the charge leaks it reads 1 now and then, so a
// bit that read 0 in any pass was programmed: the merge ANDs the passes. A
// bit that read both ways is unstable; each of them keeps how often it read
// 0 and how often 1.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace romprog {

struct UnstableCell {
  int address = 0;
  std::uint8_t bits = 0;    // the bits that read both ways
  std::uint8_t merged = 0;  // the cell as the merge has it
  std::array<int, 8> zeros{};  // by bit: the passes that read it 0
  std::array<int, 8> ones{};   // and 1
};

class PassMerge {
 public:
  explicit PassMerge(int size);

  // One whole pass of `size` cells; the number of cells it shows unstable
  // for the first time (0 for the first pass).
  int Add(const std::uint8_t* pass);

  int size() const { return size_; }
  int passes() const { return passes_; }
  // The AND of every pass so far.
  const std::vector<std::uint8_t>& merged() const { return and_; }
  // True while every pass read every cell alike.
  bool Agreed() const { return unstableCells_ == 0; }
  int unstableCells() const { return unstableCells_; }
  // Bits that read both ways, over all cells.
  int UnstableBits() const;
  // Every unstable cell, in address order, with its counts.
  std::vector<UnstableCell> UnstableList() const;
  // Whether `address` read differently between passes.
  bool IsUnstable(int address) const { return (and_[address] ^ or_[address]) != 0; }

 private:
  int size_;
  int passes_ = 0;
  int unstableCells_ = 0;
  std::vector<std::uint8_t> and_;
  std::vector<std::uint8_t> or_;
  // The passes that read each bit 0: eight counts a cell.
  std::vector<std::uint16_t> zeros_;
};

}  // namespace romprog
