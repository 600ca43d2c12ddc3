#include <gtest/gtest.h>

#include <vector>

#include "core/formats/srecord_reader.h"
#include "core/formats/srecord_writer.h"
#include "core/image.h"
#include "tests/cli/cli_test_support.h"

namespace romtool::testing {
namespace {

using romprog::ReadSRecords;
using romprog::TextLoad;
using romprog::WriteSRecords;

struct Loaded {
  TextLoad load;
  std::vector<std::uint8_t> image = std::vector<std::uint8_t>(romprog::kBufferSize, 0xFF);
};

Loaded Read(const std::string& text, int activeSize = 32768) {
  Loaded result;
  result.load = ReadSRecords(Bytes(text), text.size(), result.image.data(), activeSize);
  return result;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(text.substr(at, end - at));
  }
  EXPECT_EQ(at, text.size()) << "every line ends in CR LF";
  return lines;
}

// The sum of a record's bytes from the count to the checksum, low 8 bits.
unsigned RecordSum(const std::string& line) {
  unsigned sum = 0;
  for (std::size_t i = 2; i + 1 < line.size(); i += 2) sum += std::stoul(line.substr(i, 2), 0, 16);
  return sum & 0xFF;
}

TEST(SRecords, ReadsTheTextbookRecord) {
  const Loaded r = Read("S1137AF00A0A0D0000000000000000000000000061\n");
  ASSERT_TRUE(r.load.ok) << r.load.error;
  EXPECT_EQ(r.image[0x7AF0], 0x0A);
  EXPECT_EQ(r.image[0x7AF1], 0x0A);
  EXPECT_EQ(r.image[0x7AF2], 0x0D);
  EXPECT_EQ(r.image[0x7AF3], 0x00);
  EXPECT_EQ(r.image[0x7AFF], 0x00);
  EXPECT_EQ(r.image[0x7B00], 0xFF);
  EXPECT_EQ(r.image[0x7AEF], 0xFF);
  EXPECT_EQ(r.load.loadedExtent, 0x7B00);
}

TEST(SRecords, WriterRecordsAddUpAndCoverTheChip) {
  const std::string image = RandomBytes(8192, 64);
  for (int width : {2, 3, 4}) {
    std::string text;
    WriteSRecords(Bytes(image), 8192, width, text);
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 8192u / 32 + 3);
    EXPECT_EQ(lines.front().substr(0, 2), "S0");
    EXPECT_EQ(lines[1].substr(0, 2), std::string("S") + static_cast<char>('0' + width - 1));
    EXPECT_EQ(lines[1].size(), 2 + 2 + 2u * width + 64 + 2);
    EXPECT_EQ(lines[lines.size() - 2], "S5030100FB");
    EXPECT_EQ(lines.back().substr(0, 2), std::string("S") + static_cast<char>('9' - (width - 2)));
    for (const std::string& line : lines) {
      EXPECT_EQ(RecordSum(line), 0xFFu) << line;
      EXPECT_EQ(line.find_first_not_of("S0123456789ABCDEF"), std::string::npos) << line;
    }
  }
}

TEST(SRecords, WrittenImageReadsBackForEachChip) {
  const std::string image = RandomBytes(32768, 128);
  for (int size : {8192, 16384, 32768}) {
    std::string text;
    WriteSRecords(Bytes(image), size, 2, text);
    const Loaded r = Read(text, size);
    ASSERT_TRUE(r.load.ok) << r.load.error;
    EXPECT_EQ(r.load.loadedExtent, size);
    EXPECT_EQ(std::string(r.image.begin(), r.image.begin() + size), image.substr(0, size));
    EXPECT_EQ(std::count(r.image.begin() + size, r.image.end(), 0xFF), 32768 - size);
  }
}

TEST(SRecords, DamagedLinesAreRefusedWithTheirLineNumber) {
  const std::string good = "S00600004844521B\nS1050000AABB95\n";
  ASSERT_TRUE(Read(good).load.ok) << Read(good).load.error;
  struct Case {
    const char* line;
    const char* why;
  } cases[] = {
      {"S1050000AABB94", "checksum"},  {"S1060000AABB94", "count"},
      {"S1050000AABG94", "hex digit"}, {"S1050000AABB9", "odd"},
      {"S4050000AABB94", "type"},      {"X1050000AABB94", "not an S-record"},
      {"S10200FD", "too short"},
  };
  for (const Case& c : cases) {
    const Loaded r = Read(good + c.line + "\nS9030000FC\n");
    EXPECT_FALSE(r.load.ok) << c.line;
    EXPECT_EQ(r.load.errorLine, 3) << c.line;
    EXPECT_NE(r.load.error.find(c.why), std::string::npos) << c.line << ": " << r.load.error;
  }
}

TEST(SRecords, LineEndsAndBlankLinesReadAlike) {
  const std::string records[] = {"S1050000AABB95", "S1050010CCDD41"};
  for (const char* end : {"\n", "\r\n", "\r"}) {
    const Loaded r = Read(std::string(records[0]) + end + end + records[1] + "  " + end);
    ASSERT_TRUE(r.load.ok) << r.load.error;
    EXPECT_EQ(r.image[0x00], 0xAA);
    EXPECT_EQ(r.image[0x01], 0xBB);
    EXPECT_EQ(r.image[0x10], 0xCC);
    EXPECT_EQ(r.image[0x11], 0xDD);
    EXPECT_EQ(r.load.loadedExtent, 0x12);
  }
}

TEST(SRecords, RecordsAtOrAboveTheChipAreSkippedAsIntelHexDoes) {
  std::string text;
  const std::string image = RandomBytes(32768, 7);
  WriteSRecords(Bytes(image), 32768, 2, text);
  const Loaded r = Read(text, 8192);
  ASSERT_TRUE(r.load.ok);
  EXPECT_EQ(r.load.loadedExtent, 8192);
  EXPECT_EQ(std::string(r.image.begin(), r.image.begin() + 8192), image.substr(0, 8192));
  EXPECT_EQ(std::count(r.image.begin() + 8192, r.image.end(), 0xFF), 32768 - 8192);
}

TEST(SRecords, NothingIsStoredPastTheBuffer) {
  // 4 bytes at 0x7FFE under S2 addressing: two fit, two would not.
  const Loaded r = Read("S208007FFE11223344D0\n");
  ASSERT_TRUE(r.load.ok) << r.load.error;
  EXPECT_EQ(r.image[0x7FFE], 0x11);
  EXPECT_EQ(r.image[0x7FFF], 0x22);
  EXPECT_EQ(r.load.loadedExtent, 0x8002);
}

}  // namespace
}  // namespace romtool::testing
