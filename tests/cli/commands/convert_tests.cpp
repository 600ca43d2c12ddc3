// romtool convert: files read strictly by what they hold, or leniently when asked.
#include <gtest/gtest.h>

#include "tests/cli/commands/romtool_fixture.h"

namespace romtool::testing {
namespace {

TEST_F(RomtoolTest, IntelHexIsReadStrictlyUnlessLenient) {
  WriteWhole(dir / "segment.hex", ":020000020100FB\n:0100000042BD\n:00000001FF\nnot read\n");
  ASSERT_EQ(Romtool({"convert", "-c", "27C64", dir / "segment.hex", dir / "out.bin"}).code, 0);
  const std::string out = ReadWhole(dir / "out.bin");
  EXPECT_EQ(out[0x1000], '\x42');
  EXPECT_EQ(std::count(out.begin(), out.end(), '\xFF'), 8191);
  WriteWhole(dir / "bad.hex", ":10000000ZZ\n");
  EXPECT_EQ(Romtool({"convert", "-c", "27C64", "--lenient", dir / "bad.hex", dir / "out.bin"}).code,
            0);
}

TEST_F(RomtoolTest, FilesAreReadByWhatTheyHold) {
  // Intel HEX under a name the window program would burn as it is.
  WriteWhole(dir / "rom.ihx", ":0200100041426B\r\n:00000001FF\r\n");
  const Outcome ihx = Romtool({"convert", "-c", "27C64", dir / "rom.ihx", dir / "out.bin"});
  EXPECT_EQ(ihx.code, 0) << ihx.output;
  EXPECT_EQ(ReadWhole(dir / "out.bin").substr(0x10, 3), "AB\xFF");
  // A 65C816 image with data to 0xFFFF for a 27C256: the chip would lose its top.
  WriteWhole(dir / "rom.s28",
             "S214000000000102030405060708090A0B0C0D0E0F73\nS208007FFE11223344D0\nS804000000FB\n");
  const Outcome wide = Romtool({"sum", "-c", "27C256", dir / "rom.s28"});
  EXPECT_EQ(wide.code, 2) << wide.output;
  EXPECT_SAYS(wide, "rom.s28:2: data at 0x7FFE to 0x8001 lies outside the chip");
  Saved("big.bin", 40960);
  const Outcome big = Romtool({"convert", "-c", "27C64", dir / "big.bin", dir / "out.hex"});
  EXPECT_EQ(big.code, 2) << big.output;
  EXPECT_SAYS(big, "--truncate takes the first 8192");
  WriteWhole(dir / "notes.txt", "not a ROM\n");
  EXPECT_EQ(Romtool({"sum", "-c", "27C64", dir / "notes.txt"}).code, 2);
  EXPECT_EQ(Romtool({"sum", "-c", "27C64", "--format", "bin", dir / "notes.txt"}).code, 0);
  const Outcome missing = Romtool({"sum", "-c", "27C64", dir / "none.hex"});
  EXPECT_EQ(missing.code, 2) << missing.output;
  EXPECT_SAYS(missing, "cannot open " + dir / "none.hex" + ": No such file or directory");
}

}  // namespace
}  // namespace romtool::testing
