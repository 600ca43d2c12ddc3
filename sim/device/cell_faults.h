// The faults of an old chip, as its reads show them: weak bits (programmed
// bits whose charge has leaked, so they read 1 now and then), a data line
// stuck at 0 or 1, and an address line that does nothing (stuck low, so the
// chip repeats itself). The same seed gives the same weak bits and the same
// reads, so every run of a test sees the same chip.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace romprog::sim {

struct FaultOptions {
  int weakBits = 0;            // how many programmed bits are weak
  double weakChance = 0;       // the chance that a read of one gives 1
  std::uint32_t weakSeed = 1;  // picks them and draws their reads
  int stuckBit = -1;           // data bit stuck (-1: none)
  int stuckValue = 0;          // at this value
  int deadLine = -1;           // address line that reads as low (-1: none)
};

class CellFaults {
 public:
  explicit CellFaults(const FaultOptions& options = {});

  // The cell a read of `address` reaches, with a dead line.
  int Reached(int address) const;
  // What a read gives of a cell holding `value` at `cell` (as Reached gives
  // it), on a chip of `chip`'s first `size` cells.
  std::uint8_t Read(const std::uint8_t* chip, int size, int cell, std::uint8_t value);

  // The weak bits of a chip of `size` cells: cell * 8 + bit, in address order.
  const std::vector<int>& WeakBits(const std::uint8_t* chip, int size);

 private:
  void PickWeakBits(const std::uint8_t* chip, int size);

  FaultOptions options_;
  std::mt19937 draws_;
  int pickedFor_ = 0;                   // the chip size the weak bits were picked for
  std::vector<int> weak_;               // cell * 8 + bit, sorted
  std::vector<std::uint8_t> weakMask_;  // per cell, its weak bits
};

}  // namespace romprog::sim
