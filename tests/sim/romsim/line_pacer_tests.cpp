// The pacing of a slow line.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "sim/romsim/line_pacer.h"

namespace romprog::sim {
namespace {

TEST(LinePacer, EachByteTakesTenBitTimes) {
  using Clock = std::chrono::steady_clock;
  LinePacer pacer(9600);
  const auto start = Clock::now();
  for (int i = 0; i < 24; ++i) {
    pacer.Received();
    pacer.Sending();
  }
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
  EXPECT_GE(took.count(), 48 * 10 * 1000000LL / 9600) << "never quicker than the line";

  LinePacer none(0);
  const auto before = Clock::now();
  for (int i = 0; i < 1000; ++i) none.Sending();
  EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(50)) << "no pacing asked";
}

}  // namespace
}  // namespace romprog::sim
