#include <gtest/gtest.h>

#include "cli/progress.h"

namespace romtool::testing {
namespace {

TEST(Progress, NoRateOrTimeLeftUntilOneCanBeMeasured) {
  EXPECT_EQ(Progress::LineText("read", 820, 8192, 0.1),
            "read: 820/8192 bytes (10%), ? B/s, ? left");
  EXPECT_EQ(Progress::LineText("read", 4096, 8192, 1.0),
            "read: 4096/8192 bytes (50%), 4096 B/s, 0:01 left");
}

TEST(Progress, FinishedWorkShowsItsRateHoweverQuick) {
  EXPECT_EQ(Progress::LineText("verify", 8192, 8192, 0.05),
            "verify: 8192/8192 bytes (100%), 163840 B/s, 0:00 left");
}

TEST(Progress, BarFillsWithTheWorkAndCountsMinutes) {
  const std::string bar = Progress::BarText("read", 8192, 32768, 17.0);
  EXPECT_EQ(bar.substr(0, 37), "read [#######.......................]");
  EXPECT_NE(bar.find(" 25% 8192/32768  482 B/s  0:51 left"), std::string::npos) << bar;
}

}  // namespace
}  // namespace romtool::testing
