#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/formats/intel_hex_reader.h"
#include "core/formats/intel_hex_writer.h"
#include "core/image.h"

namespace romprog::testing {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) {
      lines.push_back(text.substr(at) + "<no CR LF>");
      break;
    }
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

std::vector<std::uint8_t> RandomImage(unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> image(kBufferSize);
  for (auto& byte : image) byte = static_cast<std::uint8_t>(random());
  return image;
}

int HexValue(const std::string& digits) {
  return std::stoi(digits, nullptr, 16);
}

TEST(WriteIntelHex, AllFfImageOfTheSmallestChip) {
  const std::vector<std::uint8_t> image(kBufferSize, 0xFF);
  std::string text;
  WriteIntelHex(image.data(), 8192, text);
  const auto lines = Lines(text);
  ASSERT_EQ(lines.size(), 513u);
  EXPECT_EQ(lines[0], ":10000000" + std::string(32, 'F') + "00");
  EXPECT_EQ(lines[1], ":10001000" + std::string(32, 'F') + "F0");
  EXPECT_EQ(lines[511], ":101FF000" + std::string(32, 'F') + "F1");
  EXPECT_EQ(lines[512], ":00000001FF");
  EXPECT_EQ(text.size(), 23053u);
  EXPECT_EQ(text.back(), '\n');
}

TEST(WriteIntelHex, ExactRecordForKnownBytes) {
  std::vector<std::uint8_t> image(kBufferSize, 0xFF);
  for (int k = 0; k < 16; ++k) image[0x100 + k] = static_cast<std::uint8_t>(k);
  std::string text;
  WriteIntelHex(image.data(), 8192, text);
  EXPECT_EQ(Lines(text)[0x10], ":10010000000102030405060708090A0B0C0D0E0F77");
  // Upper-case letters and zero padding everywhere.
  image[0xAB0] = 0x0A;
  image[0xAB1] = 0xBC;
  text.clear();
  WriteIntelHex(image.data(), 8192, text);
  EXPECT_EQ(Lines(text)[0xAB].substr(0, 15), ":100AB0000ABCFF");
}

TEST(WriteIntelHex, SizesAndAddressesForEveryChip) {
  const auto image = RandomImage(1);
  const int sizes[] = {8192, 16384, 32768};
  const std::size_t lengths[] = {23053, 46093, 92173};
  for (int i = 0; i < 3; ++i) {
    std::string text;
    WriteIntelHex(image.data(), sizes[i], text);
    EXPECT_EQ(text.size(), lengths[i]);
    const auto lines = Lines(text);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(sizes[i] / 16 + 1));
    for (std::size_t n = 0; n + 1 < lines.size(); ++n) {
      const std::string& line = lines[n];
      ASSERT_EQ(line.size(), 43u) << n;
      ASSERT_EQ(line.substr(0, 3), ":10");
      ASSERT_EQ(HexValue(line.substr(3, 4)), static_cast<int>(n * 16));
      ASSERT_EQ(line.substr(7, 2), "00");
      ASSERT_EQ(line.find_first_not_of("0123456789ABCDEF", 1), std::string::npos) << line;
      // Every byte of a record, its checksum included, sums to 0 modulo 256.
      int sum = 0;
      for (std::size_t at = 1; at < 43; at += 2) sum += HexValue(line.substr(at, 2));
      ASSERT_EQ(sum & 0xFF, 0) << line;
    }
    EXPECT_EQ(lines[lines.size() - 2].substr(3, 4), i == 2 ? "7FF0" : i == 1 ? "3FF0" : "1FF0");
  }
}

TEST(WriteIntelHex, ChecksumWrapsToZero) {
  // 0x10 + 0x01 + 0x00 + 0xEF = 0x100: low byte 0 gives checksum 00.
  std::vector<std::uint8_t> bytes(16, 0);
  bytes[0] = 0xEF;
  std::string line;
  AppendHexRecord(bytes.data(), 0x0100, line);
  EXPECT_EQ(line, ":10010000EF00000000000000000000000000000000\r\n");
}

TEST(WriteIntelHex, ReadsBackToTheSameImage) {
  const auto image = RandomImage(7);
  for (int size : {8192, 16384, 32768}) {
    std::string text;
    WriteIntelHex(image.data(), size, text);
    std::vector<std::uint8_t> back(kBufferSize, 0xFF);
    EXPECT_EQ(ReadIntelHex(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(),
                           back.data(), size),
              size);
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + size, back.begin())) << size;
    EXPECT_TRUE(std::all_of(back.begin() + size, back.end(), [](auto b) { return b == 0xFF; }));
  }
}

}  // namespace
}  // namespace romprog::testing
