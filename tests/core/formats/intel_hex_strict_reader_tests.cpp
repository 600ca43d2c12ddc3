#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/formats/intel_hex_reader.h"
#include "core/formats/intel_hex_strict_reader.h"
#include "core/image.h"
#include "tests/core/formats/intel_hex_records.h"

namespace romprog::testing {
namespace {

TEST(ReadIntelHexStrictly, CpmPaddingEndsTheText) {
  const std::string records = Record(0x10, {1, 2}) + "\r\n" + Record(0x20, {3}) + "\r\n:00000001FF";
  const std::string pad(60, '\x1A');
  for (const std::string& text : {records + "\r\n" + pad + "garbage of the last sector",
                                  records + pad, records + "\r\n" + pad}) {
    Image image;
    const TextLoad load = ReadIntelHexStrictly(reinterpret_cast<const std::uint8_t*>(text.data()),
                                               text.size(), image.bytes.get(), 8192);
    ASSERT_TRUE(load.ok) << load.errorLine << ": " << load.error;
    EXPECT_EQ(load.loadedExtent, 0x21);
    EXPECT_EQ(image[0x11], 2);
    EXPECT_EQ(image[0x20], 3);
  }
}

TEST(ReadIntelHexStrictly, FaultsTellWhetherTheLenientReadingGetsPast) {
  const struct {
    std::string text;
    bool lenientReadsPast;
  } cases[] = {
      {":0100000042BE", true},                                 // checksum
      {":01000000G2BD", true},                                 // not a hex digit
      {":020000000042BD", true},                               // count
      {"#0100000042BD", false},                                // no record at all
      {Record(0x2000, {1}) + "\n:00000001FF", false},          // above the chip
      {":02000004FFFFFC\n:01FFFF0042BF\n:00000001FF", false},  // above 4 GiB, not wrapped to 0
  };
  for (const auto& c : cases) {
    Image image;
    const TextLoad load = ReadIntelHexStrictly(reinterpret_cast<const std::uint8_t*>(c.text.data()),
                                               c.text.size(), image.bytes.get(), 8192);
    EXPECT_FALSE(load.ok) << c.text;
    EXPECT_EQ(load.lenientReadsPast, c.lenientReadsPast) << c.text << ": " << load.error;
    EXPECT_EQ(image.CountNot(0xFF), 0) << c.text;
  }
}

TextLoad Collected(const std::string& text, FileData& data, bool lenient = false) {
  return CollectIntelHex(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), data,
                         lenient);
}

// A file is burned only when it is whole and says one thing: its end record
// present and last, and no two records giving one address different values.
// --lenient reads past each, and counts what it read past.
TEST(ReadIntelHexStrictly, AFileMustBeWholeAndAgreeWithItself) {
  const std::string end = ":00000001FF";
  const std::string app = Record(0x0000, {1, 2}) + "\n" + Record(0x0010, {3}) + "\n";
  FileData whole;
  ASSERT_TRUE(Collected(app + end + "\n", whole).ok);

  // Cut at a line boundary: the end record is missing, named at the last line.
  FileData cut;
  const TextLoad unended = Collected(app, cut);
  EXPECT_FALSE(unended.ok);
  EXPECT_EQ(unended.errorLine, 2);
  EXPECT_NE(unended.error.find("without its end record"), std::string::npos) << unended.error;
  EXPECT_NE(unended.error.find("--lenient"), std::string::npos) << unended.error;
  FileData cutLenient;
  const TextLoad taken = Collected(app, cutLenient, true);
  EXPECT_TRUE(taken.ok) << taken.error;
  EXPECT_EQ(taken.faultsReadPast, 1);
  EXPECT_EQ(cutLenient.size(), 2u);

  // cat app.hex boot.hex: the second block after the first end record.
  const std::string joined = app + end + "\n" + Record(0x1000, {9}) + "\n" + end + "\n";
  FileData twice;
  const TextLoad after = Collected(joined, twice);
  EXPECT_FALSE(after.ok);
  EXPECT_EQ(after.errorLine, 4);
  EXPECT_NE(after.error.find("after the end record of line 3"), std::string::npos) << after.error;
  FileData both;
  const TextLoad readOn = Collected(joined, both, true);
  EXPECT_TRUE(readOn.ok) << readOn.error;
  ASSERT_EQ(both.size(), 3u);
  EXPECT_EQ(both[2].address, 0x1000u);

  // Overlaps: equal values agree, different ones are refused with both.
  FileData same;
  EXPECT_TRUE(Collected(app + Record(0x0001, {2}) + "\n" + end, same).ok);
  FileData differ;
  const TextLoad conflict = Collected(app + Record(0x0001, {7}) + "\n" + end, differ);
  EXPECT_FALSE(conflict.ok);
  EXPECT_EQ(conflict.errorLine, 3);
  EXPECT_NE(conflict.error.find("data at 0x0001 is 0x07 here but 0x02 on line 1"),
            std::string::npos)
      << conflict.error;
  FileData lastWins;
  EXPECT_TRUE(Collected(app + Record(0x0001, {7}) + "\n" + end, lastWins, true).ok);

  // A record whose only fault is its checksum keeps its data when read past.
  std::string badSum = Record(0x0020, {0x55});
  badSum.back() = badSum.back() == '0' ? '1' : '0';
  FileData kept;
  const TextLoad sumPast = Collected(app + badSum + "\n" + end, kept, true);
  EXPECT_TRUE(sumPast.ok) << sumPast.error;
  EXPECT_EQ(sumPast.readPastLine, 3);
  EXPECT_EQ(sumPast.readPast, "checksum does not match");
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(kept[2].bytes, std::vector<std::uint8_t>{0x55});
}

}  // namespace
}  // namespace romprog::testing
