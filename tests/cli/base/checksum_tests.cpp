#include <gtest/gtest.h>

#include <numeric>

#include "cli/base/checksum.h"
#include "tests/support/cli_test_support.h"

namespace romtool::testing {
namespace {

// Bit by bit, straight from the polynomial: a second opinion on the table.
std::uint32_t SlowCrc32(const std::string& data) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : data) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

TEST(Checksum, CrcOfTheStandardCheckString) {
  const std::string text = "123456789";
  EXPECT_EQ(Crc32(Bytes(text), text.size()), 0xCBF43926u);
  EXPECT_EQ(Crc32(nullptr, 0), 0u);
}

TEST(Checksum, CrcAgreesWithTheBitwiseFormOnChipImages) {
  for (std::size_t size : {1u, 7u, 8192u, 16384u, 32768u}) {
    const std::string image = RandomBytes(size, static_cast<unsigned>(size));
    EXPECT_EQ(Crc32(Bytes(image), size), SlowCrc32(image)) << size;
  }
}

TEST(Checksum, CrcSeesOneFlippedBit) {
  std::string image = RandomBytes(8192, 5);
  const std::uint32_t before = Crc32(Bytes(image), image.size());
  image[4000] = static_cast<char>(image[4000] ^ 0x10);
  EXPECT_NE(Crc32(Bytes(image), image.size()), before);
}

TEST(Checksum, ByteSumKeepsItsLow16Bits) {
  const std::string blank(32768, '\xFF');
  EXPECT_EQ(ByteSum16(Bytes(blank), blank.size()), static_cast<std::uint16_t>(32768 * 255));
  const std::string image = RandomBytes(16384, 9);
  unsigned long total = 0;
  for (unsigned char b : image) total += b;
  EXPECT_EQ(ByteSum16(Bytes(image), image.size()), static_cast<std::uint16_t>(total & 0xFFFF));
}

}  // namespace
}  // namespace romtool::testing
