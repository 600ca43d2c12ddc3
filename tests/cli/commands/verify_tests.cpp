// romtool verify against romsim: every difference, and whether writing can mend it.
#include <gtest/gtest.h>

#include "tests/cli/commands/romtool_fixture.h"

namespace romtool::testing {
namespace {

TEST_F(RomtoolTest, VerifyListsEveryDifferenceAndWhetherWritingCanMendIt) {
  std::string chip = RandomBytes(32768, 4);
  chip.replace(100, 10, 10, '\xFF');
  chip[4095] = '\x00';
  Start({}, chip);
  std::string image = chip.substr(0, 8192);
  image.replace(100, 10, 10, '\x12');
  image[4095] = '\x41';
  WriteWhole(dir / "image.bin", image);
  const Outcome run = OnChip("verify", "27C64", {dir / "image.bin"});
  EXPECT_EQ(run.code, 1) << run.output;
  EXPECT_SAYS(run, "differs from " + dir / "image.bin" + " in 11 cells");
  EXPECT_SAYS(run, "cells 0x0064 (100) to 0x006D (109) differ (10 cells)");
  EXPECT_SAYS(run, "cell 0x0FFF (4095) differs: read 0x00, expected 0x41");
  EXPECT_SAYS(run, "1 cell needs a bit set (0 to 1)");
  image[4095] = '\x00';
  WriteWhole(dir / "image.bin", image);
  EXPECT_SAYS(OnChip("verify", "27C64", {dir / "image.bin"}),
              "writing " + dir / "image.bin" + " again may take them, unless a cell refuses again");
}

}  // namespace
}  // namespace romtool::testing
