#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "core/formats/file_content.h"
#include "core/formats/file_format.h"
#include "core/image.h"
#include "platform/image_files.h"
#include "tests/support/files_test_support.h"

namespace romprog::testing {
namespace {

const std::uint8_t* Bytes(const std::string& s) {
  return reinterpret_cast<const std::uint8_t*>(s.data());
}

// Loaded as the window program loads it, for the smallest chip.
LoadResult Window(const std::string& path, std::vector<std::uint8_t>& image) {
  return LoadImageFile(path, Reading::WindowProgram, 8192, image.data());
}

TEST(LoadImageFile, ExtensionChoosesTheReaderAndTheImageStartsAllFf) {
  TempDir dir;
  const std::string hex = ":0200000041420B\r\n";
  std::vector<std::uint8_t> image(kBufferSize, 0x00);
  const std::vector<std::pair<std::string, bool>> names = {
      {"ROM.HEX", true},  {"rom.hex", true}, {"rom.Hex", true},     {"rom.bin", false},
      {"rom.txt", false}, {"rom", false},    {"rom.hex.bak", false}};
  for (const auto& [name, asHex] : names) {
    WriteWhole(dir / name, hex);
    std::fill(image.begin(), image.end(), 0x00);
    const LoadResult result =
        LoadImageFile(dir / name, Reading::WindowProgram, 32768, image.data());
    EXPECT_TRUE(result.loaded) << name;
    EXPECT_EQ(result.format == FileFormat::IntelHex, asHex) << name;
    if (asHex) {
      EXPECT_EQ(result.read.loadedExtent, 2);
      EXPECT_EQ(image[0], 'A');
      EXPECT_EQ(image[1], 'B');
      EXPECT_EQ(image[2], 0xFF);
    } else {
      EXPECT_EQ(result.fileSize, static_cast<std::int64_t>(hex.size()));
      EXPECT_EQ(std::memcmp(image.data(), hex.data(), hex.size()), 0) << name;
      EXPECT_EQ(image[hex.size()], 0xFF);
    }
    EXPECT_EQ(image[kBufferSize - 1], 0xFF);
  }
  // Inside a folder whose name has a dot the file has no extension.
  std::filesystem::create_directory(dir / "roms.hex");
  WriteWhole(dir / "roms.hex/rom", hex);
  EXPECT_NE(Window(dir / "roms.hex/rom", image).format, FileFormat::IntelHex);

  EXPECT_FALSE(Window(dir / "missing.bin", image).loaded);
  EXPECT_FALSE(Window(dir / "missing.hex", image).loaded);
  EXPECT_FALSE(Window(dir / "roms.hex", image).loaded);  // a folder
}

TEST(LoadImageFile, RomtoolGoesByTheFirstRecordTheWindowProgramByTheName) {
  TempDir dir;
  const std::string hex = "\r\n  \n:0200000041427B\r\n:00000001FF\r\n";
  const std::string sRecords = "S1050000414277\nS9030000FC\n";
  const struct {
    const char* name;
    const std::string& content;
    FileFormat romtool;
    FileFormat window;
  } cases[] = {
      {"rom.ihx", hex, FileFormat::IntelHex, FileFormat::Binary},
      {"ROM.OBJ", hex, FileFormat::IntelHex, FileFormat::Binary},
      {"rom.run", hex, FileFormat::IntelHex, FileFormat::Binary},
      {"rom.s19", hex, FileFormat::IntelHex, FileFormat::Binary},
      {"rom.HEX", sRecords, FileFormat::SRecord, FileFormat::IntelHex},
  };
  std::vector<std::uint8_t> image(kBufferSize);
  for (const auto& c : cases) {
    WriteWhole(dir / c.name, c.content);
    const LoadResult strict = LoadImageFile(dir / c.name, Reading::Strict, 8192, image.data());
    EXPECT_TRUE(strict.loaded) << c.name << ": " << strict.read.error;
    EXPECT_EQ(strict.format, c.romtool) << c.name;
    EXPECT_EQ(strict.shown, c.romtool) << c.name;
    EXPECT_EQ(image[0], 'A') << c.name;
    EXPECT_EQ(image[1], 'B') << c.name;
    EXPECT_EQ(LoadImageFile(dir / c.name, Reading::LenientHex, 8192, image.data()).format,
              c.romtool);
    EXPECT_EQ(Window(dir / c.name, image).format, c.window) << c.name;
  }
  // A format given overrides what the file shows.
  const LoadResult raw =
      LoadImageFile(dir / "rom.HEX", Reading::Strict, 8192, image.data(), FileFormat::Binary);
  EXPECT_TRUE(raw.loaded);
  EXPECT_EQ(raw.format, FileFormat::Binary);
  EXPECT_EQ(image[0], 'S');
  EXPECT_EQ(
      LoadImageFile(dir / "rom.HEX", Reading::Strict, 8192, image.data(), FileFormat::IntelHex)
          .read.status,
      ReadStatus::Damaged);
  // Neither shows itself: a record mark followed by a control byte, text.
  for (const std::string& head :
       {std::string(":10\x01", 4), std::string("S1 notes\n"), std::string("; :10 comment\n"),
        std::string(":-) 10 hex\n"), std::string("S-1 note\n")}) {
    EXPECT_FALSE(FormatOfRecords(Bytes(head), head.size())) << head;
  }
  EXPECT_EQ(FormatCalled("ihex"), FileFormat::IntelHex);
  EXPECT_EQ(FormatCalled("srec"), FileFormat::SRecord);
  EXPECT_EQ(FormatCalled("bin"), FileFormat::Binary);
  EXPECT_FALSE(FormatCalled("hex"));
}

}  // namespace
}  // namespace romprog::testing
