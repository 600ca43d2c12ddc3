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

TEST(SRecords, ReadsTheTextbookRecord) {
  const Loaded r = Read("S1137AF00A0A0D0000000000000000000000000061\nS9030000FC\n");
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

TEST(SRecords, DamagedLinesAreRefusedWithTheirLineNumber) {
  const std::string good = "S00600004844521B\nS1050000AABB95\n";
  ASSERT_TRUE(Read(good + "S9030000FC\n").load.ok) << Read(good + "S9030000FC\n").load.error;
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
    const Loaded r =
        Read(std::string(records[0]) + end + end + records[1] + "  " + end + "S9030000FC" + end);
    ASSERT_TRUE(r.load.ok) << r.load.error;
    EXPECT_EQ(r.image[0x00], 0xAA);
    EXPECT_EQ(r.image[0x01], 0xBB);
    EXPECT_EQ(r.image[0x10], 0xCC);
    EXPECT_EQ(r.image[0x11], 0xDD);
    EXPECT_EQ(r.load.loadedExtent, 0x12);
  }
}

TEST(SRecords, DataAtOrAboveTheChipIsRefusedWithItsLineAndRange) {
  std::string text;
  const std::string image = RandomBytes(32768, 7);
  WriteSRecords(Bytes(image), 32768, 2, text);
  const Loaded r = Read(text, 8192);
  EXPECT_FALSE(r.load.ok);
  EXPECT_EQ(r.load.errorLine, 2 + 8192 / 32);  // the header, then the records below 0x2000
  EXPECT_EQ(r.load.error, "data at 0x2000 to 0x201F lies outside the chip (0x2000 bytes)");

  // A 65C816 image with data up to 0xFFFF for a 27C256, and a 68HC12 image
  // running to 0x4E18 for a 27C128: the chip would lose their tops.
  const Loaded wide =
      Read("S214000000000102030405060708090A0B0C0D0E0F73\nS208007FFE11223344D0\nS804000000FB\n");
  EXPECT_FALSE(wide.load.ok);
  EXPECT_EQ(wide.load.errorLine, 2);
  EXPECT_EQ(wide.load.error, "data at 0x7FFE to 0x8001 lies outside the chip (0x8000 bytes)");
  EXPECT_EQ(Read("S1053FFEAABB58\nS1054E17CCDDEC\nS9030000FC\n", 16384).load.error,
            "data at 0x4E17 to 0x4E18 lies outside the chip (0x4000 bytes)");
}

TEST(SRecords, NothingIsStoredPastTheChip) {
  // 4 bytes at 0x7FFE under S2 addressing: two would fit the buffer, two not.
  const Loaded r = Read("S208007FFE11223344D0\nS804000000FB\n");
  EXPECT_FALSE(r.load.ok);
  EXPECT_EQ(std::count(r.image.begin(), r.image.end(), 0xFF), 32768);
}

TEST(SRecords, CpmPaddingEndsTheText) {
  const std::string records = "S1050000AABB95\r\nS9030000FC";
  const std::string pad(100, '\x1A');
  for (const std::string& text : {records + "\r\n" + pad, records + pad,
                                  records + "\r\n" + pad + "S1 left in the sector\n"}) {
    const Loaded r = Read(text);
    ASSERT_TRUE(r.load.ok) << r.load.error;
    EXPECT_EQ(r.image[0x01], 0xBB);
  }
  // Inside a record it ends the record too soon: that record is damaged.
  const Loaded cut = Read(
      "S1050000AA\x1A"
      "BB95\n");
  EXPECT_FALSE(cut.load.ok);
  EXPECT_EQ(cut.load.errorLine, 1);
}

// An S-record with a correct count and checksum: "S1", the address in
// `addressBytes` bytes, the data.
std::string SRecord(char type, std::uint32_t address, int addressBytes,
                    const std::vector<int>& data) {
  std::vector<int> bytes{static_cast<int>(addressBytes + data.size() + 1)};
  for (int k = addressBytes - 1; k >= 0; --k) bytes.push_back((address >> (8 * k)) & 0xFF);
  bytes.insert(bytes.end(), data.begin(), data.end());
  int sum = 0;
  std::string line = std::string("S") + type;
  char digits[3];
  for (int b : bytes) {
    std::snprintf(digits, sizeof digits, "%02X", b);
    line += digits;
    sum += b;
  }
  std::snprintf(digits, sizeof digits, "%02X", ~sum & 0xFF);
  return line + digits + "\n";
}

// `data` holds this text's records alone.
TextLoad Collected(const std::string& text, romprog::FileData& data, bool lenient = false) {
  data.clear();
  return romprog::CollectSRecords(Bytes(text), text.size(), data, lenient);
}

// A lost record, a cut file, a joined one and a contradiction are refused at
// their line; --lenient reads past them knowingly.
TEST(SRecords, AFileMustBeWholeAndAgreeWithItself) {
  std::string three;
  for (int k = 0; k < 3; ++k) three += SRecord('1', 0x10 * k, 2, {k, k + 1});
  const std::string s9 = "S9030000FC\n";
  romprog::FileData data;
  EXPECT_TRUE(Collected(three + SRecord('5', 3, 2, {}) + s9, data).ok);
  // srec_cat ends a file without an entry point at its count record.
  EXPECT_TRUE(Collected(three + SRecord('5', 3, 2, {}), data).ok);
  EXPECT_TRUE(Collected(three + SRecord('6', 3, 3, {}) + s9, data).ok);
  const TextLoad lost = Collected(three + SRecord('5', 4, 2, {}) + s9, data);
  EXPECT_FALSE(lost.ok);
  EXPECT_EQ(lost.errorLine, 4);
  EXPECT_NE(lost.error.find("says 4 data records, 3 were read"), std::string::npos) << lost.error;
  romprog::FileData past4;
  const TextLoad miscounted = Collected(three + SRecord('5', 4, 2, {}) + s9, past4, true);
  EXPECT_TRUE(miscounted.ok) << miscounted.errorLine << ": " << miscounted.error;

  const TextLoad cut = Collected(three, data);
  EXPECT_FALSE(cut.ok);
  EXPECT_EQ(cut.errorLine, 3);
  EXPECT_NE(cut.error.find("termination record"), std::string::npos) << cut.error;

  const TextLoad after = Collected(three + s9 + SRecord('1', 0x100, 2, {5}) + s9, data);
  EXPECT_FALSE(after.ok);
  EXPECT_EQ(after.errorLine, 5);
  EXPECT_NE(after.error.find("after the termination record of line 4"), std::string::npos);

  const TextLoad conflict = Collected(three + SRecord('1', 0x11, 2, {9}) + s9, data);
  EXPECT_FALSE(conflict.ok);
  EXPECT_EQ(conflict.errorLine, 4);
  EXPECT_NE(conflict.error.find("data at 0x0011 is 0x09 here but 0x02 on line 2"),
            std::string::npos)
      << conflict.error;
  EXPECT_TRUE(Collected(three + SRecord('1', 0x11, 2, {2}) + s9, data).ok);

  // A 6800 monitor whose last record is a malformed S9: refused at it; read
  // past, the data stands as the file gives it.
  std::string monitor;
  for (int k = 0; k < 4; ++k) monitor += SRecord('1', 0xC000 + 4 * k, 2, {k, k, k, k});
  const TextLoad malformed = Collected(monitor + "S90000\n", data);
  EXPECT_FALSE(malformed.ok);
  EXPECT_EQ(malformed.errorLine, 5);
  romprog::FileData past;
  const TextLoad lenient = Collected(monitor + "S90000\n", past, true);
  EXPECT_TRUE(lenient.ok) << lenient.error;
  EXPECT_EQ(lenient.faultsReadPast, 2);  // the record, then the missing end
  EXPECT_EQ(lenient.readPastLine, 5);
  ASSERT_EQ(past.size(), 4u);
  EXPECT_EQ(past[3].address, 0xC00Cu);
}

}  // namespace
}  // namespace romtool::testing
