// The pieces of a dump that may be looked up in a ROM collection.
#include <gtest/gtest.h>

#include <random>

#include "core/dump_variants.h"

namespace romprog {
namespace {

std::vector<std::uint8_t> Random(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

std::vector<std::string> Names(const std::vector<DumpVariant>& variants, std::size_t size) {
  std::vector<std::string> names;
  for (const DumpVariant& v : variants) names.push_back(VariantName(v, size));
  return names;
}

TEST(DumpVariants, EveryPieceOfAPlainDumpHoldsItsBytes) {
  const auto image = Random(32768, 1);
  const auto variants = DumpVariants(image.data(), image.size());
  EXPECT_EQ(Names(variants, image.size()),
            (std::vector<std::string>{
                "as is", "byte-swapped", "even bytes", "odd bytes", "half 1 of 2 (0x0000-0x3FFF)",
                "half 2 of 2 (0x4000-0x7FFF)", "quarter 1 of 4 (0x0000-0x1FFF)",
                "quarter 2 of 4 (0x2000-0x3FFF)", "quarter 3 of 4 (0x4000-0x5FFF)",
                "quarter 4 of 4 (0x6000-0x7FFF)"}));
  EXPECT_EQ(variants[0].bytes, image);
  const auto& swapped = variants[1].bytes;
  const auto& even = variants[2].bytes;
  const auto& odd = variants[3].bytes;
  ASSERT_EQ(even.size(), 16384u);
  ASSERT_EQ(odd.size(), 16384u);
  for (std::size_t k : {0u, 1u, 777u, 16383u}) {
    EXPECT_EQ(swapped[2 * k], image[2 * k + 1]) << k;
    EXPECT_EQ(swapped[2 * k + 1], image[2 * k]) << k;
    EXPECT_EQ(even[k], image[2 * k]) << k;
    EXPECT_EQ(odd[k], image[2 * k + 1]) << k;
  }
  EXPECT_EQ(variants[5].bytes, std::vector<std::uint8_t>(image.begin() + 16384, image.end()));
  EXPECT_EQ(variants[8].bytes,
            std::vector<std::uint8_t>(image.begin() + 16384, image.begin() + 24576));
}

TEST(DumpVariants, AnOverdumpGivesItsFirstCopyOnceAndAnOddSizeItselfOnly) {
  auto rom = Random(8192, 2);
  std::vector<std::uint8_t> four;
  for (int k = 0; k < 4; ++k) four.insert(four.end(), rom.begin(), rom.end());
  const auto fourWays = DumpVariants(four.data(), four.size());
  EXPECT_EQ(Names(fourWays, four.size()),
            (std::vector<std::string>{"as is", "byte-swapped", "even bytes", "odd bytes",
                                      "4x overdump (0x0000-0x1FFF repeated)"}));
  EXPECT_EQ(fourWays.back().bytes, rom);

  std::vector<std::uint8_t> two = rom;
  two.insert(two.end(), two.begin(), two.end());
  const auto twoWays = DumpVariants(two.data(), two.size());
  EXPECT_EQ(Names(twoWays, two.size()),
            (std::vector<std::string>{"as is", "byte-swapped", "even bytes", "odd bytes",
                                      "2x overdump (0x0000-0x1FFF repeated)",
                                      "quarter 1 of 4 (0x0000-0x0FFF)",
                                      "quarter 2 of 4 (0x1000-0x1FFF)"}));

  const auto odd = Random(4097, 3);
  EXPECT_EQ(Names(DumpVariants(odd.data(), odd.size()), odd.size()),
            std::vector<std::string>{"as is"});
}

TEST(DumpVariants, OnlyPiecesThatTogetherHoldEveryByteCoverTheDump) {
  const auto image = Random(4096, 4);
  const auto v = DumpVariants(image.data(), image.size());
  // 0 whole, 1 swapped, 2 even, 3 odd, 4-5 halves, 6-9 quarters.
  EXPECT_TRUE(CoverEveryByte({&v[0]}, image.size()));
  EXPECT_TRUE(CoverEveryByte({&v[1]}, image.size()));
  EXPECT_TRUE(CoverEveryByte({&v[2], &v[3]}, image.size()));
  EXPECT_FALSE(CoverEveryByte({&v[2]}, image.size()));
  EXPECT_FALSE(CoverEveryByte({&v[3], &v[3]}, image.size()));
  EXPECT_TRUE(CoverEveryByte({&v[4], &v[8], &v[9]}, image.size()));
  EXPECT_FALSE(CoverEveryByte({&v[4], &v[9]}, image.size()));
  EXPECT_FALSE(CoverEveryByte({&v[6], &v[7], &v[8]}, image.size()));
  EXPECT_FALSE(CoverEveryByte({}, image.size()));
}

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
