// A rescue read's passes merged, and its unstable bits counted.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/rescue/pass_merge.h"
#include "tests/core/rescue/random_bytes.h"

namespace romprog {
namespace {

using rescue_testing::Bytes;
using rescue_testing::Random;

TEST(PassMerge, AndsThePassesAndCountsEachUnstableBitBothWays) {
  Bytes chip = Random(8192, 1);
  chip[100] &= static_cast<std::uint8_t>(~0x04);  // programmed bits, to go weak below
  chip[7] &= static_cast<std::uint8_t>(~0x40);
  PassMerge merge(8192);
  EXPECT_EQ(merge.Add(chip.data()), 0) << "one pass shows nothing unstable";
  EXPECT_TRUE(merge.Agreed());
  // Pass 2: cell 100's bit 2 (programmed) reads 1; pass 3 adds cell 7's bit 6
  // and repeats cell 100; pass 4 reads like the chip.
  Bytes two = chip, three = chip;
  two[100] = static_cast<std::uint8_t>(chip[100] | 0x04);
  three[100] = two[100];
  three[7] = static_cast<std::uint8_t>(chip[7] | 0x40);
  EXPECT_EQ(merge.Add(two.data()), 1);
  EXPECT_EQ(merge.Add(three.data()), 1) << "cell 100 is not new";
  EXPECT_EQ(merge.Add(chip.data()), 0);
  EXPECT_EQ(merge.passes(), 4);
  EXPECT_FALSE(merge.Agreed());
  EXPECT_EQ(merge.unstableCells(), 2);
  EXPECT_EQ(merge.UnstableBits(), 2);
  EXPECT_EQ(merge.merged(), chip) << "a bit that read 0 in any pass is 0";
  const std::vector<UnstableCell> cells = merge.UnstableList();
  ASSERT_EQ(cells.size(), 2u);
  EXPECT_EQ(cells[0].address, 7);
  EXPECT_EQ(cells[0].bits, 0x40);
  EXPECT_EQ(cells[0].zeros[6], 3);
  EXPECT_EQ(cells[0].ones[6], 1);
  EXPECT_EQ(cells[1].address, 100);
  EXPECT_EQ(cells[1].bits, 0x04);
  EXPECT_EQ(cells[1].merged, chip[100]);
  EXPECT_EQ(cells[1].zeros[2], 2);
  EXPECT_EQ(cells[1].ones[2], 2);
  EXPECT_TRUE(merge.IsUnstable(100));
  EXPECT_FALSE(merge.IsUnstable(101));
}

TEST(PassMerge, ABitThatReadOneOnlyOnceIsStillUnstableAndMergedToZero) {
  Bytes zero(64, 0x00), one(64, 0x00);
  one[63] = 0x80;
  PassMerge merge(64);
  merge.Add(one.data());
  merge.Add(zero.data());
  EXPECT_EQ(merge.merged()[63], 0x00);
  EXPECT_EQ(merge.UnstableList().at(0).ones[7], 1);
}

}  // namespace
}  // namespace romprog
