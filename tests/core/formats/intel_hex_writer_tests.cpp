#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/file_extension.h"
#include "core/formats/binary_writer.h"
#include "core/formats/intel_hex_reader.h"
#include "core/formats/intel_hex_writer.h"
#include "core/image.h"
#include "core/windows_1251.h"

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

TEST(ImageWriter, BinaryIsExactlyTheActivePart) {
  const auto image = RandomImage(3);
  const std::string content = BinaryWriter().Write(image.data(), 16384);
  ASSERT_EQ(content.size(), 16384u);
  EXPECT_TRUE(std::equal(content.begin(), content.end(), image.begin(),
                         [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; }));
  EXPECT_EQ(IntelHexWriter().Write(image.data(), 8192).size(), 23053u);
}

TEST(FileExtension, TextAfterTheLastDotOfTheName) {
  EXPECT_EQ(FileExtension("ROM.HEX"), "hex");
  EXPECT_EQ(FileExtension("C:\\roms\\rom.Hex"), "hex");
  EXPECT_EQ(FileExtension("rom.hex.bak"), "bak");
  EXPECT_EQ(FileExtension("rom.hex1"), "hex1");
  EXPECT_EQ(FileExtension("rom"), "");
  EXPECT_EQ(FileExtension("rom."), "");
  EXPECT_EQ(FileExtension(""), "");
  EXPECT_EQ(FileExtension(".hex"), "hex");
  // A dot in a folder name is no extension of the file.
  EXPECT_EQ(FileExtension("C:\\roms.old\\rom"), "");
  EXPECT_EQ(FileExtension("/tmp/roms.old/rom"), "");
  EXPECT_EQ(FileExtension("Z:\\tmp\\a.b/rom"), "");
}

TEST(FileExtension, LowerCasesWindows1251) {
  EXPECT_EQ(LowerCase1251("AZaz09@[`{"), "azaz09@[`{");
  // А..Я to а..я, Ё to ё, and the other capitals of the page.
  EXPECT_EQ(LowerCase1251("\xC0\xCF\xDF\xA8"), "\xE0\xEF\xFF\xB8");
  EXPECT_EQ(LowerCase1251("\x80\x81\x8A\x8C\x8D\x8E\x8F\xA1\xA3\xA5\xAA\xAF\xB2\xBD"),
            "\x90\x83\x9A\x9C\x9D\x9E\x9F\xA2\xBC\xB4\xBA\xBF\xB3\xBE");
  // Small letters and signs stay.
  EXPECT_EQ(LowerCase1251("\xE0\xFF\xB8\x90\xB9\xD7\xF7"), "\xE0\xFF\xB8\x90\xB9\xF7\xF7");
  EXPECT_EQ(FileExtension("\xD4\xC0\xC9\xCB.\xD5\xC5\xCA\xD1"), "\xF5\xE5\xEA\xF1");
}

TEST(SaveFileName, AppendsTheExtensionOfTheFormatUnlessPresent) {
  EXPECT_EQ(SaveFileName("rom", true), "rom.hex");
  EXPECT_EQ(SaveFileName("rom.HEX", true), "rom.HEX");
  EXPECT_EQ(SaveFileName("rom.bin", true), "rom.bin.hex");
  EXPECT_EQ(SaveFileName("rom.hex", false), "rom.hex.bin");
  EXPECT_EQ(SaveFileName("rom.Bin", false), "rom.Bin");
  EXPECT_EQ(SaveFileName("C:\\a.bin\\rom", false), "C:\\a.bin\\rom.bin");
  EXPECT_EQ(SaveFileName("rom.", true), "rom..hex");
}

}  // namespace
}  // namespace romprog::testing
