#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/formats/binary_writer.h"
#include "core/formats/intel_hex_writer.h"
#include "core/image.h"

namespace romprog::testing {
namespace {

std::vector<std::uint8_t> RandomImage(unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> image(kBufferSize);
  for (auto& byte : image) byte = static_cast<std::uint8_t>(random());
  return image;
}

TEST(ImageWriter, BinaryIsExactlyTheActivePart) {
  const auto image = RandomImage(3);
  const std::string content = BinaryWriter().Write(image.data(), 16384);
  ASSERT_EQ(content.size(), 16384u);
  EXPECT_TRUE(std::equal(content.begin(), content.end(), image.begin(),
                         [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; }));
  EXPECT_EQ(IntelHexWriter().Write(image.data(), 8192).size(), 23053u);
}

}  // namespace
}  // namespace romprog::testing
