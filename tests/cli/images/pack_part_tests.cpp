#include <gtest/gtest.h>

#include "cli/images/pack_part.h"

namespace romtool::testing {
namespace {

TEST(Options, PackPartsNameAFileItsBaseAndItsCell) {
  PackPart part;
  std::string error;
  ASSERT_TRUE(ParsePart("C:\\roms\\mon.hex:base=$E000@0x6000", part, error)) << error;
  EXPECT_EQ(part.path, "C:\\roms\\mon.hex");
  EXPECT_EQ(part.base, 0xE000u);
  EXPECT_EQ(part.cell, 0x6000);
  ASSERT_TRUE(ParsePart("a@b.bin:base=auto", part, error)) << error;
  EXPECT_EQ(part.path, "a@b.bin");
  EXPECT_TRUE(part.autoBase);
  EXPECT_FALSE(ParsePart("a.bin@0x8000", part, error));
  EXPECT_EQ(error, "part a.bin@0x8000: '0x8000' after @ is no cell (0x2000, 8k)");
}

}  // namespace
}  // namespace romtool::testing
