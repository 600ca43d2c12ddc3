// The rules of a rescue read: passes merged, the marks of a bad read found
// in an image, and the picture of a chip's cells.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/rescue/cell_map.h"
#include "core/rescue/image_checks.h"
#include "core/rescue/pass_merge.h"

namespace romprog {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Random(int size, unsigned seed) {
  std::mt19937 draw(seed);
  Bytes bytes(static_cast<std::size_t>(size));
  for (auto& b : bytes) b = static_cast<std::uint8_t>(draw());
  return bytes;
}

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

const std::uint8_t* Pixel(const Picture& p, int x, int y) {
  return &p.rgb[(static_cast<std::size_t>(y) * p.width + x) * 3];
}

bool SameColour(const std::uint8_t* a, const std::uint8_t* b) {
  return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

TEST(CellMap, KindsAndCountsPutUnstableFirstThenDifferences) {
  Bytes image = Random(128, 7), other = image, unstable(128, 0);
  image[0] = 0xFF;
  image[1] = 0x00;
  other[0] = 0xFF;
  other[1] = 0x00;
  unstable[5] = 0x10;
  other[5] ^= 0x01;  // unstable wins over differing
  other[9] ^= 0x80;
  const MapInput input{image.data(), 128, unstable.data(), other.data()};
  EXPECT_EQ(KindOf(input, 0), CellKind::Blank);
  EXPECT_EQ(KindOf(input, 1), CellKind::Zero);
  EXPECT_EQ(KindOf(input, 5), CellKind::Unstable);
  EXPECT_EQ(KindOf(input, 9), CellKind::Differs);
  const std::vector<int> counts = CountKinds(input);
  EXPECT_EQ(counts[static_cast<int>(CellKind::Unstable)], 1);
  EXPECT_EQ(counts[static_cast<int>(CellKind::Differs)], 1);
  int all = 0;
  for (int c : counts) all += c;
  EXPECT_EQ(all, 128);
}

TEST(CellMap, AStuckBitIsAStripeDownEveryTileAndAWeakBitIsMarked) {
  Bytes image = Random(8192, 8), unstable(8192, 0);
  for (auto& b : image) b = static_cast<std::uint8_t>((b | 0x08) & 0x7F);  // never 0xFF
  for (auto& b : image) b = b == 0 ? 0x08 : b;
  unstable[64 * 3 + 2] = 0x01;
  const Picture picture = DrawCellMap({image.data(), 8192, unstable.data()});
  EXPECT_EQ(picture.width, kMapCellsPerRow * kMapTileWidth - 1);
  EXPECT_GT(picture.height, 8192 / kMapCellsPerRow * kMapTileHeight);
  ASSERT_EQ(picture.rgb.size(), static_cast<std::size_t>(picture.width) * picture.height * 3);
  // Bit 3 is the same light colour in every data tile, bit 7 the same dark.
  const std::uint8_t* light = Pixel(picture, BitColumn(0, 3), 0);
  const std::uint8_t* dark = Pixel(picture, BitColumn(0, 7), 0);
  EXPECT_FALSE(SameColour(light, dark));
  for (int a = 0; a < 8192; a += 61) {
    if (a == 64 * 3 + 2) continue;
    const int y = (a / kMapCellsPerRow) * kMapTileHeight + 1;
    EXPECT_TRUE(SameColour(Pixel(picture, BitColumn(a % kMapCellsPerRow, 3), y), light)) << a;
    EXPECT_TRUE(SameColour(Pixel(picture, BitColumn(a % kMapCellsPerRow, 7), y), dark)) << a;
  }
  // The weak cell: its bit 0 stands out from its other bits and from data.
  const int y = 3 * kMapTileHeight;
  const std::uint8_t* weak = Pixel(picture, BitColumn(2, 0), y);
  EXPECT_FALSE(SameColour(weak, Pixel(picture, BitColumn(2, 7), y)));
  EXPECT_FALSE(SameColour(weak, light));
  EXPECT_FALSE(SameColour(weak, dark));
}

}  // namespace
}  // namespace romprog
