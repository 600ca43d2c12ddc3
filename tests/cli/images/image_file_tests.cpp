// romtool's rules for image files: the file's records decide its format, a
// raw image must fit the chip, text is no raw image, a file that does not
// open says why.
#include <gtest/gtest.h>

#include <vector>

#include "cli/images/image_file.h"
#include "core/image.h"
#include "core/image_layout.h"
#include "tests/support/cli_test_support.h"

namespace romtool::testing {
namespace {

struct Load {
  bool ok = false;
  std::string note;
  std::string error;
  std::vector<std::uint8_t> image = std::vector<std::uint8_t>(romprog::kBufferSize);
};

Load Loaded(const std::string& path, int activeSize, const LoadRules& rules = LoadRules()) {
  Load load;
  load.ok = LoadImage(path, activeSize, load.image.data(), load.note, load.error, rules);
  return load;
}

LoadRules Forced(FileFormat format) {
  LoadRules rules;
  rules.format = format;
  return rules;
}

struct ImageFile : ::testing::Test {
  TempDir dir;
};

TEST_F(ImageFile, ARawImageLargerThanTheChipIsRefusedUnlessTruncated) {
  const std::string image = RandomBytes(40960, 5);
  WriteWhole(dir / "rom.bin", image);
  const Load refused = Loaded(dir / "rom.bin", 8192);
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.error, dir / "rom.bin" +
                               " holds 40960 bytes, the 27C64 takes 8192: is -c right? "
                               "--truncate takes the first 8192");
  LoadRules truncate;
  truncate.truncate = true;
  const Load cut = Loaded(dir / "rom.bin", 8192, truncate);
  ASSERT_TRUE(cut.ok) << cut.error;
  EXPECT_EQ(cut.note, dir / "rom.bin" + " holds 40960 bytes; the 27C64 takes the first 8192");
  EXPECT_EQ(std::string(cut.image.begin(), cut.image.begin() + 8192), image.substr(0, 8192));

  WriteWhole(dir / "small.bin", image.substr(0, 100));
  const Load small = Loaded(dir / "small.bin", 16384);
  ASSERT_TRUE(small.ok) << small.error;
  EXPECT_EQ(small.note, dir / "small.bin" +
                            " holds 100 bytes, the 27C128 takes 16384: cells 100 to 16383 stay "
                            "blank (0xFF)");
  EXPECT_EQ(small.image[100], 0xFF);
}

TEST_F(ImageFile, TheRecordsDecideAndANameThatSaysOtherwiseGetsANote) {
  const std::string sRecords = "S1050000414277\nS9030000FC\n";
  const std::string hex = ":0200000041427B\n:00000001FF\n";
  const struct {
    const char* name;
    const std::string& content;
    const char* note;
  } cases[] = {
      {"rom.hex", sRecords, " holds S-records; read as S-records"},
      {"rom.bin", hex, " holds Intel HEX records; read as Intel HEX"},
      {"rom.s19", hex, " holds Intel HEX records; read as Intel HEX"},
      {"rom.ihx", hex, ""},
      {"ROM.OBJ", hex, ""},  // a name that claims no format
  };
  for (const auto& c : cases) {
    WriteWhole(dir / c.name, c.content);
    const Load load = Loaded(dir / c.name, 8192);
    ASSERT_TRUE(load.ok) << c.name << ": " << load.error;
    EXPECT_EQ(load.note, *c.note ? dir / c.name + c.note : "") << c.name;
    EXPECT_EQ(load.image[1], 'B') << c.name;
  }
  // A format given is taken as it is, text or not, without a note.
  const Load raw = Loaded(dir / "rom.hex", 8192, Forced(FileFormat::Binary));
  ASSERT_TRUE(raw.ok) << raw.error;
  EXPECT_EQ(raw.image[0], 'S');
  EXPECT_EQ(raw.note, dir / "rom.hex" +
                          " holds 26 bytes, the 27C64 takes 8192: cells 26 to 8191 stay blank "
                          "(0xFF)");
}

TEST_F(ImageFile, PlainTextIsNoRawImage) {
  const std::string source = "\tORG 0\r\nSTART:\tLD A,1\r\n\tJP START\r\n";
  WriteWhole(dir / "rom.asm", source);
  WriteWhole(dir / "cpm.txt", source + std::string(90, '\x1A'));
  for (const char* name : {"rom.asm", "cpm.txt"}) {
    const Load text = Loaded(dir / name, 8192);
    EXPECT_FALSE(text.ok) << name;
    EXPECT_EQ(text.error, dir / name +
                              " is plain text, not a ROM image; --format bin takes it as one all "
                              "the same");
    EXPECT_TRUE(Loaded(dir / name, 8192, Forced(FileFormat::Binary)).ok) << name;
  }
  // Characters alone, or text with a byte that is none: an image may hold them.
  for (const std::string& image :
       {std::string("COPYRIGHT 1987 ACME CONTROLS"), source + '\xFF', source + "\x1A\x01\x02"}) {
    WriteWhole(dir / "rom.bin", image);
    EXPECT_TRUE(Loaded(dir / "rom.bin", 8192).ok) << image;
  }
}

TEST_F(ImageFile, LenientIsSuggestedOnlyForFaultsItReadsPast) {
  const char* hint = "(--lenient reads it as the window program does)";
  WriteWhole(dir / "sum.hex", ":0100000042BE\n");
  WriteWhole(dir / "high.hex", ":01200000429D\n:00000001FF\n");
  WriteWhole(dir / "raw.hex", ":\x01" + RandomBytes(8190, 3));  // a binary named .hex
  const Load sum = Loaded(dir / "sum.hex", 8192);
  EXPECT_EQ(sum.error, dir / "sum.hex" + ":1: checksum does not match " + hint);
  const Load high = Loaded(dir / "high.hex", 8192);
  EXPECT_EQ(high.error,
            dir / "high.hex" +
                ":1: data at 0x2000 to 0x2000 lies outside the chip (0x2000 bytes); the data lies "
                "at 0x2000-0x2000: add --base 0x2000, or --base auto");
  const Load raw = Loaded(dir / "raw.hex", 8192);
  EXPECT_FALSE(raw.ok);
  EXPECT_EQ(raw.error.find("--lenient"), std::string::npos) << raw.error;
  LoadRules lenient;
  lenient.lenient = true;
  EXPECT_TRUE(Loaded(dir / "sum.hex", 8192, lenient).ok);
}

TEST_F(ImageFile, FilesThatCannotBeOpenedOrWrittenSayWhy) {
  EXPECT_EQ(Loaded(dir / "none.hex", 8192).error,
            "cannot open " + dir / "none.hex" + ": No such file or directory");
  std::vector<std::uint8_t> image(romprog::kBufferSize, 0xFF);
  std::string error;
  EXPECT_FALSE(SaveImage(dir / "gone/out.bin", image.data(), 8192, error));
  EXPECT_EQ(error, "cannot write " + dir / "gone/out.bin" + ": No such file or directory");
}

TEST_F(ImageFile, BaseMapsTheFileAndAutoFindsItsOneWindow) {
  // 0x20 bytes at 0xE000 and one at 0xFFFF; and a file over two 8 KiB windows.
  WriteWhole(dir / "mon.hex", ":02E0000041429B\n:01FFFF00AA57\n:00000001FF\n");
  WriteWhole(dir / "two.s19", "S1051000414267\nS1052000434453\nS9030000FC\n");
  LoadRules automatic, at;
  automatic.autoBase = true;
  at.base = 0xE000;
  for (const LoadRules& rules : {automatic, at}) {
    const Load mapped = Loaded(dir / "mon.hex", 8192, rules);
    ASSERT_TRUE(mapped.ok) << mapped.error;
    EXPECT_EQ(std::string(mapped.image.begin(), mapped.image.begin() + 3), "AB\xFF");
    EXPECT_EQ(mapped.image[0x1FFF], 0xAA);
  }
  EXPECT_EQ(Loaded(dir / "mon.hex", 8192, automatic).note,
            "data 0xE000-0xFFFF mapped to cells 0x0000-0x1FFF: the chip sees address lines "
            "A0-A12 only");
  EXPECT_NE(Loaded(dir / "mon.hex", 8192).error.find("add --base 0xE000, or --base auto"),
            std::string::npos);
  at.base = 0xC000;  // a 16 KiB window holds both, an 8 KiB one not
  EXPECT_TRUE(Loaded(dir / "two.s19", 16384, automatic).ok);
  EXPECT_EQ(Loaded(dir / "two.s19", 8192, automatic).error,
            "--base auto: " + dir / "two.s19" +
                ": the data lies in 2 windows of 8192 bytes: 0x0000-0x1FFF, 0x2000-0x3FFF; a "
                "chip sees one: pick it with --base, or lay the parts on one chip with pack");
  EXPECT_FALSE(Loaded(dir / "mon.hex", 8192, at).ok);
  WriteWhole(dir / "raw.bin", RandomBytes(100, 1));
  EXPECT_NE(Loaded(dir / "raw.bin", 8192, automatic).error.find("is a raw image"),
            std::string::npos);
}

// An 8 KiB monitor at 0xE000-0xFFFF in Intel HEX, 16 bytes a record:
// `lines` records from 0xE000 on, then the end record.
std::string Monitor(int lines) {
  std::string text;
  for (int k = 0; k < lines; ++k) {
    const int address = 0xE000 + 16 * k;
    char head[16];
    std::snprintf(head, sizeof head, ":10%04X00", address);
    std::string line = head;
    unsigned sum = 0x10 + (address >> 8) + (address & 0xFF);
    for (int i = 0; i < 16; ++i) {
      char digits[3];
      std::snprintf(digits, sizeof digits, "%02X", (k + i) & 0xFF);
      line += digits;
      sum += (k + i) & 0xFF;
    }
    char check[4];
    std::snprintf(check, sizeof check, "%02X\n", (0x100 - sum % 256) & 0xFF);
    text += line + check;
  }
  return text + ":00000001FF\n";
}

// A fault in a record of a file mapped high is that record's, at its line:
// the records are read and checked first, and mapped after.
TEST_F(ImageFile, ARecordFaultInAHighFileIsNamedAtItsLine) {
  const std::string good = Monitor(512);
  std::string badSum = good;
  badSum[29 * 44 + 42] = badSum[29 * 44 + 42] == '0' ? '1' : '0';  // line 30's checksum
  std::string badChar = good;
  badChar[29 * 44 + 20] = 'Q';
  WriteWhole(dir / "badsum.hex", badSum);
  WriteWhole(dir / "badchar.hex", badChar);
  WriteWhole(dir / "cut.hex", good.substr(0, 29 * 44 + 25));
  LoadRules at, automatic;
  at.base = 0xE000;
  automatic.autoBase = true;
  for (const LoadRules& rules : {at, automatic}) {
    for (const char* name : {"badsum.hex", "badchar.hex", "cut.hex"}) {
      const Load load = Loaded(dir / name, 8192, rules);
      EXPECT_FALSE(load.ok) << name;
      EXPECT_EQ(load.error.rfind(dir / name + ":30: ", 0), 0u) << load.error;
      EXPECT_EQ(load.error.find("outside"), std::string::npos) << load.error;
    }
  }
}

// --lenient goes with --base: a faulty file taken knowingly, with a note.
TEST_F(ImageFile, LenientWithBaseTakesAFaultyFileKnowingly) {
  std::string monitor;  // 6800: S1 records at 0xC000, a malformed S9 last
  const std::string image = RandomBytes(64, 6800);
  for (int k = 0; k < 4; ++k) {
    char head[16];
    const int address = 0xC000 + 16 * k;
    std::snprintf(head, sizeof head, "S113%04X", address);
    std::string line = head;
    unsigned sum = 0x13 + (address >> 8) + (address & 0xFF);
    for (int i = 0; i < 16; ++i) {
      const auto byte = static_cast<std::uint8_t>(image[16 * k + i]);
      char digits[3];
      std::snprintf(digits, sizeof digits, "%02X", byte);
      line += digits;
      sum += byte;
    }
    char check[4];
    std::snprintf(check, sizeof check, "%02X\n", ~sum & 0xFF);
    monitor += line + check;
  }
  WriteWhole(dir / "mon.s19", monitor + "S90000\n");
  LoadRules rules;
  rules.base = 0xC000;
  const Load refused = Loaded(dir / "mon.s19", 16384, rules);
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.error.rfind(dir / "mon.s19" + ":5: ", 0), 0u) << refused.error;
  EXPECT_NE(refused.error.find("--lenient"), std::string::npos) << refused.error;
  rules.lenient = true;
  const Load taken = Loaded(dir / "mon.s19", 16384, rules);
  ASSERT_TRUE(taken.ok) << taken.error;
  EXPECT_EQ(std::string(taken.image.begin(), taken.image.begin() + 64), image);
  EXPECT_NE(taken.note.find("--lenient read past 2 faults of " + dir / "mon.s19" +
                            ", the first: line 5: "),
            std::string::npos)
      << taken.note;
}

// pack's FILE:base=auto@CELL and write --at: the part takes the bank
// window, laid from its cell; the note names the chip's cells.
TEST_F(ImageFile, ABankFromACellTakesItsOwnWindow) {
  WriteWhole(dir / "mon.hex", Monitor(512));
  for (int cell : {0x1000, 0x2000, 0x4000, 0x6000}) {
    LoadRules rules;
    rules.autoBase = true;
    rules.part = true;
    rules.cell = cell;
    std::vector<std::uint8_t> cells;
    std::string note, error;
    ASSERT_TRUE(LoadCells(dir / "mon.hex", 32768 - cell, rules, cells, note, error)) << error;
    EXPECT_EQ(cells.size(), 8192u) << cell;
    EXPECT_EQ(cells[0], 0x00);
    EXPECT_EQ(cells[16], 0x01);
    char cellsText[64];
    std::snprintf(cellsText, sizeof cellsText, "mapped to cells 0x%04X-0x%04X", cell,
                  cell + 0x1FFF);
    EXPECT_NE(note.find(cellsText), std::string::npos) << note;
  }
  LoadRules tight;
  tight.autoBase = true;
  tight.cell = 0x7000;
  std::vector<std::uint8_t> cells;
  std::string note, error;
  EXPECT_FALSE(LoadCells(dir / "mon.hex", 0x1000, tight, cells, note, error));
  EXPECT_NE(error.find("8192 cells; from cell 0x7000 the chip has 4096"), std::string::npos)
      << error;
}

}  // namespace
}  // namespace romtool::testing
