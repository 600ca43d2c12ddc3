// The picture of a chip's cells after a rescue read.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/rescue/cell_map.h"
#include "core/rescue/pass_merge.h"
#include "tests/core/rescue/random_bytes.h"

namespace romprog {
namespace {

using rescue_testing::Bytes;
using rescue_testing::Random;

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
