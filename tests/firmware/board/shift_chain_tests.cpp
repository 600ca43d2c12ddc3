// The shift chain puts 16 bits in place.
#include <gtest/gtest.h>

#include <memory>

#include "firmware/board/shift_chain.h"

namespace romprog::board {
namespace {

TEST(ShiftChain, SixteenBitsShiftedHighFirstLandOnA0ToA15AtTheLatch) {
  ShiftChain chain;
  const std::uint16_t lines = 0xA5C3;
  for (int bit = 15; bit >= 0; --bit) {
    const bool ser = (lines >> bit) & 1;
    chain.Pins(ser, false, false);
    chain.Pins(ser, true, false);
  }
  EXPECT_EQ(chain.lines(), 0) << "nothing shows before the latch";
  chain.Pins(false, false, true);
  EXPECT_EQ(chain.lines(), lines);
  chain.Pins(true, true, true);  // a clock with RCLK held: the outputs stay
  EXPECT_EQ(chain.lines(), lines);
}

}  // namespace
}  // namespace romprog::board
