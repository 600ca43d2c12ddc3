#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/formats/intel_hex_reader.h"
#include "core/image.h"
#include "tests/core/formats/intel_hex_records.h"
#include "tests/core/formats/scripted_source.h"

namespace romprog::testing {
namespace {

std::vector<int> Counting(int first, int count) {
  std::vector<int> data;
  for (int i = 0; i < count; ++i) data.push_back((first + i) & 0xFF);
  return data;
}

TEST(ReadIntelHex, StoresDataRecordsAtTheirAddresses) {
  Image image;
  const std::string text = Record(0x0100, Counting(0, 16)) + "\r\n" + Record(0x0000, {0xAB, 0xCD}) +
                           "\r\n" + ":00000001FF\r\n";
  EXPECT_EQ(image.Read(text, 8192), 0x0110);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(image[0x100 + k], k);
  EXPECT_EQ(image[0], 0xAB);
  EXPECT_EQ(image[1], 0xCD);
  EXPECT_EQ(image[2], 0xFF);
  EXPECT_EQ(image[0x110], 0xFF);
  EXPECT_EQ(image.CountNot(0xFF), 18);
}

TEST(ReadIntelHex, FieldsAreReadAtFixedPositionsWhateverTheFirstCharacter) {
  Image image;
  // Any record mark; wrong checksum; lower-case digits; trailing junk.
  EXPECT_EQ(image.Read("#0200100012ab00junk", 8192), 0x12);
  EXPECT_EQ(image[0x10], 0x12);
  EXPECT_EQ(image[0x11], 0xAB);
  // A blank before the colon moves every field: the count reads " :" = 0.
  Image shifted;
  EXPECT_EQ(shifted.Read(" " + Record(0, {1, 2}), 8192), 0);
  EXPECT_EQ(shifted.CountNot(0xFF), 0);
}

TEST(ReadIntelHex, ShortLinesReadMissingFieldsAsZero) {
  Image image;
  EXPECT_EQ(image.Read(":10", 8192), 16);  // count 16, address 0, type 0
  for (int k = 0; k < 16; ++k) EXPECT_EQ(image[k], 0x00);
  EXPECT_EQ(image[16], 0xFF);

  Image partial;  // three data bytes given of four; the fourth reads 0
  EXPECT_EQ(partial.Read(":0400200011223", 8192), 0x24);
  EXPECT_EQ(partial[0x20], 0x11);
  EXPECT_EQ(partial[0x21], 0x22);
  EXPECT_EQ(partial[0x22], 0x03);  // "3" alone
  EXPECT_EQ(partial[0x23], 0x00);
}

TEST(ReadIntelHex, BadDigitsInsideFieldsReadAsTheirLeadingRun) {
  Image image;
  // Count "0G" = 0: ignored.  Address "1x00" = 1: placed at 1.
  EXPECT_EQ(image.Read(":0G000000AA\n:011x0000BB\n", 8192), 2);
  EXPECT_EQ(image[0], 0xFF);
  EXPECT_EQ(image[1], 0xBB);
  // A data byte "G5" reads 0, "5G" reads 5.
  Image data;
  data.Read(":02000000G55G", 8192);
  EXPECT_EQ(data[0], 0x00);
  EXPECT_EQ(data[1], 0x05);
}

TEST(ReadIntelHex, OnlyDataRecordsWithBytesBelowTheActiveSizeCount) {
  Image image;
  const std::string text = Record(0x0000, {}) + "\n" +      // count 0
                           Record(0x0010, {1}, 1) + "\n" +  // end of file
                           Record(0x0020, {0, 0}, 2) + "\n" + Record(0x0030, {0, 0}, 4) + "\n" +
                           Record(0x0040, {0, 0, 0, 0}, 3) + "\n" + Record(0x2000, {7}) + "\n" +
                           Record(0x4000, {8}) + "\n";
  EXPECT_EQ(image.Read(text, 8192), 0);
  EXPECT_EQ(image.CountNot(0xFF), 0);
  // The same text with 27C256 takes the two data records.
  Image large;
  EXPECT_EQ(large.Read(text, 32768), 0x4001);
  EXPECT_EQ(large[0x2000], 7);
  EXPECT_EQ(large[0x4000], 8);
  EXPECT_EQ(large.CountNot(0xFF), 2);
}

TEST(ReadIntelHex, EndRecordDoesNotStopAndDataAboveTheFirst64KiBIsDropped) {
  Image image;
  // A linear base of 0x0800 (a microcontroller image at 0x08000000) and a
  // segment base of 0x1000 put the records after them above 64 KiB; a base
  // of 0 brings the low addresses back.
  const std::string text = Record(0, {1}) + "\r\n:00000001FF\r\n" + Record(0, {8, 0}, 4) + "\r\n" +
                           Record(0x10, {2}) + "\r\n" + Record(0, {0x10, 0}, 2) + "\r\n" +
                           Record(0x20, {3}) + "\r\n" + Record(0, {0, 0}, 4) + "\r\n" +
                           Record(0x30, {4}) + "\r\n";
  EXPECT_EQ(image.Read(text, 8192), 0x31);
  EXPECT_EQ(image[0], 1);
  EXPECT_EQ(image[0x30], 4);
  EXPECT_EQ(image.CountNot(0xFF), 2);  // nothing folded onto 0x10 or 0x20
}

TEST(ReadIntelHex, AllLineEndsReadAlike) {
  const std::string records[] = {Record(0, Counting(0, 16)), Record(0x10, Counting(0x40, 16)),
                                 Record(0x30, Counting(0x80, 8))};
  const std::string ends[] = {"\r\n", "\n", "\r", std::string(1, '\0')};
  for (int e = 0; e < 4; ++e) {
    std::string text;
    for (const auto& record : records) text += record + ends[e];
    Image image;
    EXPECT_EQ(image.Read(text, 8192), 0x38) << "line end " << e;
    EXPECT_EQ(image[0x0F], 0x0F);
    EXPECT_EQ(image[0x10], 0x40);
    EXPECT_EQ(image[0x37], 0x87);
    EXPECT_EQ(image.CountNot(0xFF), 40);
  }
  // The last record without any line end, and one ended by a lone CR.
  Image unterminated;
  EXPECT_EQ(unterminated.Read(records[0] + "\n" + records[2], 8192), 0x38);
  EXPECT_EQ(unterminated[0x37], 0x87);
  Image mixed;
  EXPECT_EQ(mixed.Read(records[0] + "\n\r\r\n\n" + records[1] + "\r", 8192), 0x20);
  EXPECT_EQ(mixed[0x1F], 0x4F);
}

TEST(ReadIntelHex, LinesOfAnyLengthAndSplitsAnywhere) {
  // A record padded with 100000 characters behind its checksum, then another.
  const std::string text =
      Record(0x40, Counting(1, 255)) + std::string(100000, 'F') + "\n" + Record(0x10, {9}) + "\n";
  Image whole;
  EXPECT_EQ(whole.Read(text, 8192), 0x40 + 255);
  EXPECT_EQ(whole[0x40], 1);
  EXPECT_EQ(whole[0x40 + 254], 255);
  EXPECT_EQ(whole[0x40 + 255], 0xFF);
  EXPECT_EQ(whole[0x10], 9);

  // Fed in pieces of every size from 1 to 7, the result is the same.
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  for (std::size_t piece = 1; piece <= 7; ++piece) {
    Image split;
    IntelHexReader reader(split.bytes.get(), 8192);
    for (std::size_t at = 0; at < text.size(); at += piece) {
      reader.Feed(bytes + at, std::min(piece, text.size() - at));
    }
    EXPECT_EQ(reader.Finish(), 0x40 + 255) << piece;
    EXPECT_EQ(std::memcmp(split.bytes.get(), whole.bytes.get(), kBufferSize), 0) << piece;
  }
}

TEST(ReadIntelHex, LaterRecordsOverwriteEarlierOnes) {
  Image image;
  EXPECT_EQ(
      image.Read(Record(0x20, Counting(0, 16)) + "\n" + Record(0x28, Counting(0xA0, 4)) + "\n",
                 8192),
      0x2C);
  EXPECT_EQ(image[0x27], 0x07);
  EXPECT_EQ(image[0x28], 0xA0);
  EXPECT_EQ(image[0x2B], 0xA3);
  EXPECT_EQ(image[0x2C], 0x0C);
}

TEST(ReadIntelHex, LoadedExtentIsTheEndOfTheHighestStartingRecord) {
  Image gapped;
  EXPECT_EQ(gapped.Read(Record(0, Counting(0, 16)) + "\n" + Record(0x1000, Counting(0, 16)), 8192),
            4112);
  Image falling;  // the highest record first; a longer one lower down does not count
  EXPECT_EQ(falling.Read(Record(0x100, {1}) + "\n" + Record(0x80, Counting(0, 255)), 8192), 0x101);
  Image same;  // two records at the highest start: the first one decides
  EXPECT_EQ(same.Read(Record(0x100, {1, 2}) + "\n" + Record(0x100, Counting(0, 16)), 8192), 0x102);
  EXPECT_EQ(same[0x10F], 0x0F);  // though the later one's bytes are stored
  Image none;
  EXPECT_EQ(none.Read("", 8192), 0);
  EXPECT_EQ(none.Read(":00000001FF\r\n", 8192), 0);
}

TEST(ReadIntelHex, WholeImagesAgainstEachChipSize) {
  std::string low;  // 512 records covering 0x0000..0x1FFF
  for (int a = 0; a < 0x2000; a += 16) low += Record(a, Counting(a / 16, 16)) + "\r\n";
  Image small;
  EXPECT_EQ(small.Read(low, 8192), 8192);
  EXPECT_EQ(small.CountNot(0xFF), 8192 - 32);  // every byte value occurs 32 times
  Image large;
  EXPECT_EQ(large.Read(low, 32768), 8192);
  EXPECT_EQ(std::memcmp(small.bytes.get(), large.bytes.get(), kBufferSize), 0);
  for (int i = 0x2000; i < kBufferSize; ++i) ASSERT_EQ(large[i], 0xFF) << i;

  std::string full = low;  // up to 0x7FFF: read with 27C64 the rest is skipped whole
  for (int a = 0x2000; a < 0x8000; a += 16) full += Record(a, Counting(1, 16)) + "\r\n";
  Image cut;
  EXPECT_EQ(cut.Read(full, 8192), 8192);
  EXPECT_EQ(std::memcmp(cut.bytes.get(), small.bytes.get(), kBufferSize), 0);
  Image whole;
  EXPECT_EQ(whole.Read(full, 32768), 32768);
  EXPECT_EQ(whole[0x7FFF], 16);
}

TEST(ReadIntelHex, RecordsStraddlingTheActiveSizeAreStoredWhole) {
  Image image;
  EXPECT_EQ(image.Read(Record(0x1FF8, Counting(0x30, 16)), 8192), 8200);
  EXPECT_EQ(image[0x1FF8], 0x30);
  EXPECT_EQ(image[0x2000], 0x38);
  EXPECT_EQ(image[0x2007], 0x3F);
  EXPECT_EQ(image[0x2008], 0xFF);
}

TEST(ReadIntelHex, BytesPastTheEndOfTheBufferAreDropped) {
  Image image;
  // Starts on the last byte and claims 255; the extent still tells the claim.
  EXPECT_EQ(image.Read(Record(0x7FFF, Counting(0x11, 255)) + "\n" + Record(0x7FF0, Counting(0, 8)),
                       32768),
            0x7FFF + 255);
  EXPECT_EQ(image[0x7FFF], 0x11);
  EXPECT_EQ(image[0x7FF7], 0x07);
  EXPECT_EQ(image.CountNot(0xFF), 9);
  // Even an out-of-range active size cannot place bytes outside.
  Image wide;
  EXPECT_EQ(
      wide.Read(Record(0xFFFF, Counting(0, 255)) + "\n" + Record(0x7FFE, Counting(0xE0, 4)), 65536),
      0xFFFF + 255);
  EXPECT_EQ(wide[0x7FFE], 0xE0);
  EXPECT_EQ(wide[0x7FFF], 0xE1);
  EXPECT_EQ(wide.CountNot(0xFF), 2);
}

TEST(LenientHexReader, AReadErrorFailsTheLoad) {
  const std::string text = ":0100000011\r\n:0100100022\r\n";
  std::vector<std::uint8_t> image(kBufferSize, 0xFF);
  ScriptedSource good(text, {5, 5, 100});
  const ImageRead read = LenientHexReader().Read(good, 0, image.data(), 8192);
  EXPECT_EQ(read.status, ReadStatus::Read);
  EXPECT_EQ(read.loadedExtent, 0x11);
  EXPECT_EQ(image[0x10], 0x22);
  ScriptedSource bad(text, {13, -1});
  EXPECT_NE(LenientHexReader().Read(bad, 0, image.data(), 8192).status, ReadStatus::Read);
}

}  // namespace
}  // namespace romprog::testing
