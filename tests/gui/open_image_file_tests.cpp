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
#include "tests/unit/files_test_support.h"
#include "tests/unit/test_app.h"

namespace romprog::testing {
namespace {

constexpr unsigned kWarning = 0x30;
constexpr unsigned kInformation = 0x40;

std::string Pattern(std::size_t size, int seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + seed) >> 3);
  return bytes;
}

// The program started, the buffer window's listing filled from a known image.
struct FileCommands : ::testing::Test {
  TestApp t;
  TempDir dir;

  void SetUp() override {
    t.Start();
    for (int i = 0; i < kBufferSize; ++i) t.buffer()[i] = static_cast<std::uint8_t>(i % 251);
    RefreshListing(t.app);
    t.ui.boxes.clear();
  }
  std::string BufferBytes(int from, int count) {
    return std::string(reinterpret_cast<const char*>(t.buffer()) + from, count);
  }
  void Open(const std::string& path) {
    t.ui.dialogAnswers.push_back({path, 0});
    t.Click(id::kOpenFile);
  }
  void Save(const std::string& path, int entry) {
    t.ui.dialogAnswers.push_back({path, entry});
    t.Click(id::kSaveFile);
  }
  void ExpectOnlyBox(const Text& caption, const Text& text, unsigned flags) {
    ASSERT_EQ(t.ui.boxes.size(), 1u);
    EXPECT_EQ(t.ui.boxes[0].caption, caption);
    EXPECT_EQ(t.ui.boxes[0].text, text);
    EXPECT_EQ(t.ui.boxes[0].flags, flags);
  }
  // "OK !!!", then the status line back to its rest.
  void ExpectCompletionNotice() {
    ExpectOnlyBox(text::kOk, text::kOk, kInformation);
    EXPECT_EQ(t.ui.control(id::kStatusAddress).text, text::kNoValue);
    EXPECT_EQ(t.ui.control(id::kStatusValue).text, text::kNoValue);
    EXPECT_EQ(t.ui.control(id::kProgress).state, 0);
  }
  void DirtyStatusLine() {
    t.ui.SetText(id::kStatusAddress, "1234");
    t.ui.SetText(id::kStatusValue, "56");
    t.ui.SetState(id::kProgress, 77);
  }
  // Every row of the listing shows what the buffer holds.
  void ExpectListingMatchesBuffer(int rows) {
    const auto& cells = t.ui.rows(id::kListing);
    ASSERT_EQ(static_cast<int>(cells.size()), rows);
    for (int row = 0; row < rows; ++row) {
      for (int k = 0; k < 8; ++k) {
        ASSERT_EQ(cells[row][k + 1], ByteCell(t.buffer()[row * 8 + k])) << row;
      }
    }
  }
};

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

TEST_F(FileCommands, SaveShowsItsDialogAndCancelDoesNothing) {
  t.SelectChip(2);
  t.Click(id::kSaveFile);
  ASSERT_EQ(t.ui.dialogs.size(), 1u);
  EXPECT_TRUE(t.ui.dialogs[0].save);
  EXPECT_EQ(t.ui.dialogs[0].title, text::kSaveTitle);
  EXPECT_EQ(t.ui.dialogs[0].patterns, text::kSaveFilter);
  EXPECT_EQ(t.ui.dialogs[0].firstIndex, 0);
  EXPECT_EQ(t.app.state.activeSize, 8192);  // the chip type was not taken
  EXPECT_TRUE(t.ui.boxes.empty());
}

TEST_F(FileCommands, SaveFormatFollowsTheFilterEntry) {
  std::string hex;
  WriteIntelHex(t.buffer(), 8192, hex);
  Save(dir / "rom", 0);
  EXPECT_EQ(ReadWhole(dir / "rom.hex"), hex);
  ExpectCompletionNotice();

  t.ui.boxes.clear();
  Save(dir / "rom.bin", 0);
  EXPECT_EQ(ReadWhole(dir / "rom.bin.hex"), hex);
  Save(dir / "ROM.HEX", 0);
  EXPECT_EQ(ReadWhole(dir / "ROM.HEX"), hex);

  Save(dir / "rom.hex", 1);
  EXPECT_EQ(ReadWhole(dir / "rom.hex.bin"), BufferBytes(0, 8192));
  t.SelectChip(1);  // taken once the dialog is confirmed
  Save(dir / "rom.Bin", 1);
  EXPECT_EQ(ReadWhole(dir / "rom.Bin"), BufferBytes(0, 16384));
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"ROM.HEX", "rom.Bin", "rom.bin.hex", "rom.hex",
                                                   "rom.hex.bin"}));
  EXPECT_EQ(t.ui.boxes.size(), 4u);
}

TEST_F(FileCommands, SaveReplacesAnExistingFileAndKeepsTheBuffer) {
  WriteWhole(dir / "old.bin", std::string(100000, 'x'));
  const std::string before = BufferBytes(0, kBufferSize);
  t.SelectChip(2);
  Save(dir / "old.bin", 1);
  EXPECT_EQ(ReadWhole(dir / "old.bin"), before);
  EXPECT_EQ(BufferBytes(0, kBufferSize), before);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"old.bin"});
  ExpectCompletionNotice();
}

TEST_F(FileCommands, SaveThenOpenGivesBackTheSameImage) {
  t.SelectChip(2);
  Save(dir / "image", 0);
  Save(dir / "image", 1);
  const std::string before = BufferBytes(0, kBufferSize);
  std::memset(t.buffer(), 0, kBufferSize);
  Open(dir / "image.hex");
  EXPECT_EQ(BufferBytes(0, kBufferSize), before);
  std::memset(t.buffer(), 0, kBufferSize);
  Open(dir / "image.bin");
  EXPECT_EQ(BufferBytes(0, kBufferSize), before);
}

TEST_F(FileCommands, FailedSavesSayNotSavedAndKeepTheOldFile) {
  DirtyStatusLine();
  Save(dir / "vanished/rom", 0);
  ExpectOnlyBox("", text::kSaveFailed, kWarning);
  t.ui.boxes.clear();
  Save("/proc/romprog-test", 1);
  ExpectOnlyBox("", text::kSaveFailed, kWarning);

  t.ui.boxes.clear();
  WriteWhole(dir / "keep.hex", "the old file");
  {
    FileSizeLimit full(4096);  // the disk fills up in the middle of the file
    Save(dir / "keep.hex", 0);
  }
  ExpectOnlyBox("", text::kSaveFailed, kWarning);
  EXPECT_EQ(ReadWhole(dir / "keep.hex"), "the old file");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"keep.hex"});
  EXPECT_EQ(t.ui.control(id::kStatusAddress).text, "1234");  // no completion notice
}

}  // namespace
}  // namespace romprog::testing
