// Which addresses a chip sees, and how images are laid on chips, split over
// byte lanes and joined.
#include <gtest/gtest.h>

#include <vector>

#include "core/image.h"
#include "core/image_layout.h"
#include "tests/support/cli_test_support.h"

namespace romtool::testing {
namespace {

TEST(ImageLayout, TheBankWindowIsTheSmallestAlignedPowerOfTwo) {
  using romprog::Span;
  const auto window = [](std::vector<Span> spans) {
    const romprog::AddressWindow w = romprog::BankWindow(spans);
    return std::make_pair(w.base, w.size);
  };
  EXPECT_EQ(window({{0xE000, 0xFFFF}}), std::make_pair(0xE000u, 0x2000));
  EXPECT_EQ(window({{0xF000, 0xF7FF}}), std::make_pair(0xF000u, 0x800));
  EXPECT_EQ(window({{0xDF00, 0xE0FF}}), std::make_pair(0xC000u, 0x4000));  // straddles 0xE000
  EXPECT_EQ(window({{0xE000, 0xE00F}, {0xFFF0, 0xFFFF}}), std::make_pair(0xE000u, 0x2000));
  EXPECT_EQ(window({{0x0005, 0x0005}}), std::make_pair(0x0005u, 1));
}

TEST(ImageLayout, PartsOverlapMirrorAndByteLanes) {
  using romprog::Part;
  const std::vector<Part> parts{{"a", 0, std::vector<std::uint8_t>(16, 1)},
                                {"b", 32, std::vector<std::uint8_t>(8, 2)},
                                {"c", 16, std::vector<std::uint8_t>(17, 3)}};
  const std::optional<romprog::Overlap> overlap = romprog::FindOverlap(parts);
  ASSERT_TRUE(overlap);
  EXPECT_EQ(overlap->first, 1u);
  EXPECT_EQ(overlap->second, 2u);
  EXPECT_EQ(overlap->cells.first, 32u);
  EXPECT_EQ(overlap->cells.last, 32u);
  EXPECT_FALSE(romprog::FindOverlap({parts[0], parts[2]}));
  const std::vector<romprog::Span> free = romprog::FreeCells({parts[0], parts[1]}, 64);
  ASSERT_EQ(free.size(), 2u);
  EXPECT_EQ(free[0].first, 16u);
  EXPECT_EQ(free[0].last, 31u);
  EXPECT_EQ(free[1].first, 40u);
  EXPECT_EQ(free[1].last, 63u);
  std::vector<std::uint8_t> chip{1, 2, 3, 4, 0, 0, 0, 0};
  EXPECT_FALSE(romprog::Mirror(chip.data(), 3, 8));
  EXPECT_TRUE(romprog::Mirror(chip.data(), 2, 8));
  EXPECT_EQ(chip, (std::vector<std::uint8_t>{1, 2, 1, 2, 1, 2, 1, 2}));
  // 68000: even addresses on the upper byte lane; --swap trades the lanes.
  const std::vector<std::uint8_t> words{0x10, 0x11, 0x20, 0x21};
  using Lanes = std::vector<std::vector<std::uint8_t>>;
  EXPECT_EQ(romprog::Interleave(words, 2, false), (Lanes{{0x10, 0x20}, {0x11, 0x21}}));
  EXPECT_EQ(romprog::Interleave(words, 2, true), (Lanes{{0x11, 0x21}, {0x10, 0x20}}));
  const std::string image = RandomBytes(4096, 7);
  const std::vector<std::uint8_t> bytes(image.begin(), image.end());
  for (int ways : {2, 4}) {
    for (bool swap : {false, true}) {
      EXPECT_EQ(romprog::Join(romprog::Interleave(bytes, ways, swap), swap), bytes) << ways << swap;
    }
  }
}

}  // namespace
}  // namespace romtool::testing
