#include "firmware/board/shift_chain.h"

namespace romprog::board {

void ShiftChain::Pins(bool ser, bool srclk, bool rclk) {
  if (srclk && !srclk_) {
    // Both shift on the same edge: the second takes what the first held.
    const bool carry = first_.Carry();
    first_.ShiftIn(ser);
    second_.ShiftIn(carry);
  }
  if (rclk && !rclk_) {
    first_.Latch();
    second_.Latch();
  }
  srclk_ = srclk;
  rclk_ = rclk;
}

}  // namespace romprog::board
