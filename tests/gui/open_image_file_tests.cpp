#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/formats/intel_hex_writer.h"
#include "gui/completion_notice.h"
#include "gui/hex_listing.h"
#include "gui/open_image_file.h"
#include "gui/texts.h"
#include "tests/gui/file_commands_fixture.h"

namespace romprog::testing {
namespace {

std::string Pattern(std::size_t size, int seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + seed) >> 3);
  return bytes;
}

TEST_F(FileCommands, OpenTakesTheChipTypeThenShowsItsDialog) {
  t.SelectChip(2);
  const std::string before = BufferBytes(0, kBufferSize);
  t.Click(id::kOpenFile);  // cancelled
  ASSERT_EQ(t.ui.dialogs.size(), 1u);
  EXPECT_FALSE(t.ui.dialogs[0].save);
  EXPECT_EQ(t.ui.dialogs[0].title, text::kOpenTitle);
  EXPECT_EQ(t.ui.dialogs[0].patterns, text::kOpenFilter);
  EXPECT_EQ(t.ui.dialogs[0].firstIndex, 0);
  EXPECT_EQ(t.app.state.activeSize, 32768);  // taken even though cancelled
  EXPECT_TRUE(t.ui.boxes.empty());
  EXPECT_EQ(BufferBytes(0, kBufferSize), before);
  ExpectListingMatchesBuffer(1024);  // not refreshed for the new type
}

TEST_F(FileCommands, OpenBinaryOfTheActiveSizeOrShorter) {
  const std::string file = Pattern(8192, 1);
  WriteWhole(dir / "rom.bin", file);
  DirtyStatusLine();
  Open(dir / "rom.bin");
  EXPECT_EQ(BufferBytes(0, 8192), file);
  EXPECT_EQ(BufferBytes(8192, kBufferSize - 8192), std::string(kBufferSize - 8192, '\xFF'));
  ExpectListingMatchesBuffer(1024);
  ExpectCompletionNotice();

  t.ui.boxes.clear();
  t.SelectChip(2);
  WriteWhole(dir / "short", file.substr(0, 100));
  Open(dir / "short");
  EXPECT_EQ(BufferBytes(0, 100), file.substr(0, 100));
  EXPECT_EQ(BufferBytes(100, kBufferSize - 100), std::string(kBufferSize - 100, '\xFF'));
  ExpectListingMatchesBuffer(4096);
  ExpectCompletionNotice();

  t.ui.boxes.clear();
  WriteWhole(dir / "empty.bin", "");
  Open(dir / "empty.bin");
  EXPECT_EQ(BufferBytes(0, kBufferSize), std::string(kBufferSize, '\xFF'));
  ExpectCompletionNotice();
}

TEST_F(FileCommands, OpenBinaryLargerThanTheChipTellsBothSizes) {
  const std::string file = Pattern(32768, 2);
  WriteWhole(dir / "big.bin", file);
  Open(dir / "big.bin");
  EXPECT_EQ(BufferBytes(0, 8192), file.substr(0, 8192));
  EXPECT_EQ(BufferBytes(8192, kBufferSize - 8192), std::string(kBufferSize - 8192, '\xFF'));
  ExpectListingMatchesBuffer(1024);
  const Text expected = Cp1251(
      "Размер выбранной микросхемы - 8192 Байт\n\r"
      "Размер открываемого файла - 32768 байт\n\r\n\r"
      "Загружено 8192 Байт");
  ExpectOnlyBox("", expected, kWarning);
  EXPECT_EQ(OversizeText(8192, 32768), expected);
  // One byte over is over; the status line is left alone then.
  t.ui.boxes.clear();
  DirtyStatusLine();
  t.SelectChip(1);
  WriteWhole(dir / "over.bin", file.substr(0, 16385));
  Open(dir / "over.bin");
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_EQ(t.ui.boxes[0].text, OversizeText(16384, 16385));
  EXPECT_EQ(t.ui.control(id::kStatusAddress).text, "1234");
}

TEST_F(FileCommands, SizeTextKeepsSizesOverTwoGibibytes) {
  { std::ofstream(dir / "huge.rom").put('Z'); }
  std::filesystem::resize_file(dir / "huge.rom", 3221225472u);  // sparse: 3 GiB
  Open(dir / "huge.rom");
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_NE(t.ui.boxes[0].text.find(" - 3221225472" + Text(text::kBytesLower)), Text::npos);
  EXPECT_EQ(t.buffer()[0], 'Z');
  EXPECT_EQ(t.buffer()[1], 0x00);
}

TEST_F(FileCommands, FilesThatCannotBeReadLeaveBufferAndListingAlone) {
  const std::string before = BufferBytes(0, kBufferSize);
  const auto listing = t.ui.rows(id::kListing);
  std::filesystem::create_directory(dir / "folder.bin");
  std::filesystem::create_directory(dir / "folder.hex");
  for (const std::string name : {"missing.bin", "missing.hex", "folder.bin", "folder.hex"}) {
    t.ui.boxes.clear();
    Open(dir / name);
    ExpectOnlyBox("", text::kLoadFailed, kWarning);
    EXPECT_EQ(BufferBytes(0, kBufferSize), before) << name;
    EXPECT_EQ(t.ui.rows(id::kListing), listing) << name;
  }
}

TEST_F(FileCommands, OpenIntelHexReportsTheLoadedExtent) {
  WriteWhole(dir / "rom.HEX",
             ":10000000000102030405060708090A0B0C0D0E0F78\r\n"
             ":02100000ABCD76\r\n:00000001FF\r\n");
  DirtyStatusLine();
  Open(dir / "rom.HEX");
  for (int k = 0; k < 16; ++k) EXPECT_EQ(t.buffer()[k], k);
  EXPECT_EQ(t.buffer()[0x1000], 0xAB);
  EXPECT_EQ(t.buffer()[0x1001], 0xCD);
  EXPECT_EQ(t.buffer()[0x10], 0xFF);
  EXPECT_EQ(t.buffer()[kBufferSize - 1], 0xFF);
  ExpectListingMatchesBuffer(1024);
  ExpectOnlyBox(text::kOk, Cp1251("Загружено 4098 Байт"), kInformation);
  EXPECT_EQ(LoadedText(4098), Cp1251("Загружено 4098 Байт"));
  // No completion notice on this path: the status line stays.
  EXPECT_EQ(t.ui.control(id::kStatusAddress).text, "1234");
  EXPECT_EQ(t.ui.control(id::kProgress).state, 77);

  t.ui.boxes.clear();
  WriteWhole(dir / "nodata.hex", ":00000001FF\r\n");
  Open(dir / "nodata.hex");
  EXPECT_EQ(BufferBytes(0, kBufferSize), std::string(kBufferSize, '\xFF'));
  ExpectOnlyBox(text::kOk, Cp1251("Загружено 0 Байт"), kInformation);
}

}  // namespace
}  // namespace romprog::testing
