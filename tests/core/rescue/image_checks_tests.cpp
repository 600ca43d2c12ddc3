// The marks of a bad read found in an image: stuck bits, dead address lines,
// blank and zero regions.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/rescue/image_checks.h"
#include "tests/core/rescue/random_bytes.h"

namespace romprog {
namespace {

using rescue_testing::Bytes;
using rescue_testing::Random;

std::vector<CheckFinding> Of(const std::vector<CheckFinding>& all, CheckKind kind) {
  std::vector<CheckFinding> picked;
  for (const CheckFinding& f : all) {
    if (f.kind == kind) picked.push_back(f);
  }
  return picked;
}

TEST(ImageChecks, AGoodRandomImageShowsNothing) {
  const Bytes image = Random(32768, 3);
  EXPECT_TRUE(CheckImage(image.data(), 32768).empty());
}

TEST(ImageChecks, AStuckDataBitIsNamedWithItsValue) {
  Bytes image = Random(8192, 4);
  for (auto& b : image) b |= 0x08;
  for (int a = 0; a < 8192; a += 2) image[a] &= 0x7F;  // bit 7 moves: only bit 3 is fixed
  const auto fixed = Of(CheckImage(image.data(), 8192), CheckKind::FixedBit);
  ASSERT_EQ(fixed.size(), 1u);
  EXPECT_EQ(fixed[0].bit, 3);
  EXPECT_EQ(fixed[0].value, 1);
  for (auto& b : image) b &= static_cast<std::uint8_t>(~0x20);
  const auto two = Of(CheckImage(image.data(), 8192), CheckKind::FixedBit);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].bit, 5);
  EXPECT_EQ(two[0].value, 0);
}

TEST(ImageChecks, ADeadAddressLineIsNamedAndATopOneIsAnOverdumpToo) {
  // A5 low: every 32-cell block with A5 high reads as the one below it.
  Bytes chip = Random(16384, 5), image(16384);
  for (int a = 0; a < 16384; ++a) image[a] = chip[a & ~(1 << 5)];
  const auto found = CheckImage(image.data(), 16384);
  const auto lines = Of(found, CheckKind::MirroredLine);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].line, 5);
  EXPECT_EQ(lines[0].spans[1].first, 32);
  EXPECT_EQ(lines[0].spans[1].last, 63);
  EXPECT_TRUE(Of(found, CheckKind::Overdump).empty());

  // A12 of a 27C64 is its top line: two identical halves.
  for (int a = 0; a < 8192; ++a) image[a] = chip[a & ~(1 << 12)];
  const auto top = CheckImage(image.data(), 8192);
  const auto overdump = Of(top, CheckKind::Overdump);
  ASSERT_EQ(overdump.size(), 1u);
  EXPECT_EQ(overdump[0].copies, 2);
  EXPECT_EQ(overdump[0].spans[1].first, 4096);
  ASSERT_EQ(Of(top, CheckKind::MirroredLine).size(), 1u);
  EXPECT_EQ(Of(top, CheckKind::MirroredLine)[0].line, 12);

  // A 2732's image in a 27C128: four copies, A12 and A13 both.
  for (int a = 0; a < 16384; ++a) image[a] = chip[a % 4096];
  const auto four = CheckImage(image.data(), 16384);
  EXPECT_EQ(Of(four, CheckKind::Overdump).at(0).copies, 4);
  EXPECT_EQ(Of(four, CheckKind::MirroredLine).size(), 2u);
}

TEST(ImageChecks, BlankAndZeroRegionsFromTheirLeastLength) {
  Bytes image = Random(8192, 6);
  std::fill(image.begin() + 0x1000, image.end(), 0xFF);
  std::fill(image.begin() + 0x100, image.begin() + 0x100 + kRegionCells, 0x00);
  std::fill(image.begin() + 0x800, image.begin() + 0x800 + kRegionCells - 1, 0x00);  // too short
  const auto found = CheckImage(image.data(), 8192);
  const auto blank = Of(found, CheckKind::BlankRegion), zero = Of(found, CheckKind::ZeroRegion);
  ASSERT_EQ(blank.size(), 1u);
  ASSERT_EQ(blank[0].spans.size(), 1u);
  EXPECT_EQ(blank[0].spans[0].first, 0x1000);
  EXPECT_EQ(blank[0].spans[0].last, 0x1FFF);
  ASSERT_EQ(zero.size(), 1u);
  ASSERT_EQ(zero[0].spans.size(), 1u);
  EXPECT_EQ(zero[0].spans[0].first, 0x100);
  EXPECT_EQ(zero[0].spans[0].last, 0x1FF);
}

TEST(ImageChecks, OneValueThroughoutIsAllThatIsSaid) {
  const Bytes blank(8192, 0xFF);
  const auto found = CheckImage(blank.data(), 8192);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].kind, CheckKind::OneValue);
  EXPECT_EQ(found[0].value, 0xFF);
}

}  // namespace
}  // namespace romprog
