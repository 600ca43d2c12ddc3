#include <gtest/gtest.h>

#include "core/dump_variants.h"

namespace romprog {
namespace {

DumpVariant Half(int index, std::size_t part) {
  return {VariantKind::Half, index, 2, std::vector<std::uint8_t>(part)};
}

// A piece's cells in as many digits as the dump's size takes: four, six for
// a dump past 64 KiB, more for one past 16 MiB, never its low digits alone.
TEST(DumpVariants, APiecesCellsInFull) {
  EXPECT_EQ(VariantName(Half(1, 0x1000), 0x2000), "half 2 of 2 (0x1000-0x1FFF)");
  EXPECT_EQ(VariantName(Half(1, 0x10000), 0x20000), "half 2 of 2 (0x010000-0x01FFFF)");
  EXPECT_EQ(VariantName(Half(1, 0x2000000), 0x4000000), "half 2 of 2 (0x2000000-0x3FFFFFF)");
  EXPECT_EQ(
      VariantName({VariantKind::Overdump, 0, 2, std::vector<std::uint8_t>(0x1000000)}, 0x2000000),
      "2x overdump (0x000000-0xFFFFFF repeated)");
}

}  // namespace
}  // namespace romprog
