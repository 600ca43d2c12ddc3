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
