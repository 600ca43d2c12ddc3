#include <gtest/gtest.h>

#include "cli/command_line/chip_names.h"

namespace romtool::testing {
namespace {

// The lists help and messages name the chip types with, word for word.
TEST(ChipNames, ListEachTypeInTableOrder) {
  EXPECT_EQ(ChipNames(", ", " or "), "27C64, 27C128 or 27C256");
  EXPECT_EQ(ChipNames("|", "|"), "27C64|27C128|27C256");
  EXPECT_EQ(ChipNames("/", "/"), "27C64/27C128/27C256");
  EXPECT_EQ(ChipNamesAndSizes(), "27C64 (8 KiB), 27C128 (16 KiB), 27C256 (32 KiB)");
}

}  // namespace
}  // namespace romtool::testing
