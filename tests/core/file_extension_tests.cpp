#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/file_extension.h"
#include "core/windows_1251.h"

namespace romprog::testing {
namespace {

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
