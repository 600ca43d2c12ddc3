#include <gtest/gtest.h>

#include <vector>

#include "core/formats/record_lines.h"
#include "core/formats/srecord_reader.h"
#include "core/formats/srecord_writer.h"
#include "core/image.h"
#include "tests/core/formats/srecord_loads.h"
#include "tests/support/cli_test_support.h"

namespace romtool::testing {
namespace {

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

}  // namespace
}  // namespace romtool::testing
