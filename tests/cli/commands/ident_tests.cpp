// romtool ident as a user runs it: dumps named against DATs made here, their
// pieces, what is no match, and the exit codes scripts count on.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/cli/commands/dat_test_support.h"

namespace romtool::testing {
namespace {

struct Outcome {
  int code = -1;
  std::string output;
};

#define EXPECT_SAYS(run, text)                                                          \
  EXPECT_NE((run).output.find(text), std::string::npos) << "wanted: " << (text) << "\n" \
                                                        << (run).output

struct IdentTest : ::testing::Test {
  TempDir dir;
  std::string dump = RandomBytes(32768, 25);

  Outcome Romtool(std::vector<std::string> args) {
    Outcome run;
    run.code = romprog::sim::RunToEnd(ROMTOOL_BINARY, args, run.output);
    return run;
  }
  std::string File(const std::string& name, const std::string& bytes) {
    WriteWhole(dir / name, bytes);
    return dir / name;
  }
  static std::string Swapped(std::string bytes) {
    for (std::size_t k = 0; k + 1 < bytes.size(); k += 2) std::swap(bytes[k], bytes[k + 1]);
    return bytes;
  }
  static std::string Lane(const std::string& bytes, std::size_t first) {
    std::string lane;
    for (std::size_t k = first; k < bytes.size(); k += 2) lane += bytes[k];
    return lane;
  }
};

TEST_F(IdentTest, NamesADumpAndItsByteSwappedFormButNotANearMiss) {
  const std::string dat =
      File("games.dat", LogiqxDat(Game("mygame", "My Game", RomElement(dir, "game.bin", dump)) +
                                  Game("other", "Other", RomElement(dir, "o.bin", "xyz"))));
  std::string nearMiss = dump;
  nearMiss[20000] = static_cast<char>(nearMiss[20000] ^ 0x04);
  const Outcome plain = Romtool({"ident", File("dump.bin", dump), "--dat", dat});
  EXPECT_EQ(plain.code, 0) << plain.output;
  EXPECT_SAYS(plain, "  as is = game.bin of mygame (My Game): CRC-32 and SHA-1 agree\n");
  EXPECT_SAYS(plain, "  identified\n");
  const Outcome swapped = Romtool({"ident", "--dat", dat, File("swapped.bin", Swapped(dump))});
  EXPECT_EQ(swapped.code, 0) << swapped.output;
  EXPECT_SAYS(swapped, "  byte-swapped = game.bin of mygame (My Game): CRC-32 and SHA-1 agree\n");
  EXPECT_EQ(swapped.output.find("as is"), std::string::npos) << swapped.output;
  const Outcome near = Romtool({"ident", "--dat", dat, File("near.bin", nearMiss)});
  EXPECT_EQ(near.code, 9) << near.output;
  EXPECT_SAYS(near, "  no match\n");
  EXPECT_EQ(near.output.find("game.bin"), std::string::npos) << near.output;
  const Outcome some =
      Romtool({"ident", "--dat", dat, dir / "dump.bin", dir / "near.bin", dir / "swapped.bin"});
  EXPECT_EQ(some.code, 8) << some.output;
  EXPECT_SAYS(some, "2 of 3 files identified\n");
}

TEST_F(IdentTest, AJoined16BitImageNamesBothChipsInEveryKindOfDat) {
  const std::string image = RandomBytes(65536, 26);
  const std::string even = Lane(image, 0), odd = Lane(image, 1);
  const std::string joined = File("joined.bin", image);
  const std::string logiqx =
      File("board.dat",
           LogiqxDat(Game("board", "Board",
                          RomElement(dir, "prog.u1", even) + RomElement(dir, "prog.u2", odd))));
  const Outcome run = Romtool({"ident", joined, "--dat", logiqx});
  EXPECT_EQ(run.code, 0) << run.output;
  EXPECT_SAYS(run, "  even bytes = prog.u1 of board (Board): CRC-32 and SHA-1 agree\n");
  EXPECT_SAYS(run, "  odd bytes = prog.u2 of board (Board): CRC-32 and SHA-1 agree\n");
  EXPECT_SAYS(run, "  identified\n");

  // Only the even chip known: the odd bytes match nothing, the file only in part.
  const std::string halfKnown =
      File("half.dat", LogiqxDat(Game("board", "Board", RomElement(dir, "prog.u1", even))));
  const Outcome part = Romtool({"ident", joined, "--dat", halfKnown});
  EXPECT_EQ(part.code, 8) << part.output;
  EXPECT_SAYS(part, "identified in part");

  // The same chips in a software list (load16_byte) and in -listxml output.
  std::string roms = RomElement(dir, "prog.u1", even) + RomElement(dir, "prog.u2", odd);
  roms.replace(roms.find("/>"), 2, " offset=\"0x000000\" loadflag=\"load16_byte\"/>");
  roms.replace(roms.rfind("/>"), 2, " offset=\"0x000001\" loadflag=\"load16_byte\"/>");
  const std::string softlist =
      File("list.xml",
           "<?xml version=\"1.0\"?>\n<softwarelist name=\"sys16\">\n<software name=\"board\">"
           "<description>Board</description><part name=\"cart\" interface=\"c\">"
           "<dataarea name=\"rom\" width=\"16\" size=\"65536\">\n" +
               roms + "\n</dataarea></part></software>\n</softwarelist>\n");
  const Outcome listed = Romtool({"ident", joined, "--dat", softlist});
  EXPECT_EQ(listed.code, 0) << listed.output;
  EXPECT_SAYS(listed, "  odd bytes = prog.u2 of sys16:board (Board), load16_byte at 0x000001");
  const std::string listxml =
      File("mame.xml",
           "<?xml version=\"1.0\"?>\n<!DOCTYPE mame [\n<!ELEMENT mame (machine+)>\n]>\n"
           "<mame build=\"test\">\n<machine name=\"board\"><description>Board</description>" +
               RomElement(dir, "prog.u1", even) + RomElement(dir, "prog.u2", odd) +
               "</machine>\n</mame>\n");
  const Outcome machine = Romtool({"ident", "--json", joined, "--dat", listxml});
  EXPECT_EQ(machine.code, 0) << machine.output;
  EXPECT_SAYS(machine, "\"identified\":\"all\",\"matches\":[{\"piece\":\"even\"");
  EXPECT_SAYS(machine, "\"how\":\"crc32+sha1\",\"dat\":\"" + listxml +
                           "\",\"set\":\"board\",\"description\":\"Board\",\"rom\":\"prog.u2\"");
  EXPECT_EQ(std::count(machine.output.begin(), machine.output.end(), '\n'), 1) << machine.output;
}

TEST_F(IdentTest, ASha1ThatDiffersIsNoMatchAndABadDumpSaysSo) {
  const std::string wrongSha = "0123456789abcdef0123456789abcdef01234567";
  const std::string quarter = dump.substr(8192, 8192);
  const std::string dat =
      File("bad.dat",
           LogiqxDat(Game("fake", "Fake", RomElement(dir, "fake.bin", dump, wrongSha.c_str())) +
                     Game("worn", "Worn", RomElement(dir, "worn.bin", quarter, "", "baddump"))));
  const Outcome run = Romtool({"ident", File("dump.bin", dump), "--dat", dat});
  EXPECT_EQ(run.code, 8) << run.output;
  EXPECT_SAYS(
      run, "  as is is not fake.bin of fake (Fake): CRC-32 agrees but SHA-1 differs: no match\n");
  EXPECT_SAYS(run,
              "  quarter 2 of 4 (0x2000-0x3FFF) = worn.bin of worn (Worn): CRC-32 agrees (the "
              "DAT gives no SHA-1); the DAT marks this ROM a bad dump (baddump)\n");
  EXPECT_SAYS(run, "identified in part");
  const Outcome json = Romtool({"ident", "--json", dir / "dump.bin", "--dat", dat});
  EXPECT_EQ(json.code, 8) << json.output;
  EXPECT_SAYS(json, "\"status\":\"baddump\"");
  EXPECT_SAYS(json, "\"sha1_differs\":[{\"piece\":\"whole\"");
}

TEST_F(IdentTest, RefusalsSayWhatTheySawAndAnOverdumpIsNamed) {
  const std::string rom = dump.substr(0, 8192);
  const std::string dat =
      File("small.dat", LogiqxDat(Game("small", "Small", RomElement(dir, "small.bin", rom))));
  const Outcome over = Romtool({"ident", File("over.bin", rom + rom + rom + rom), "--dat", dat});
  EXPECT_EQ(over.code, 0) << over.output;
  EXPECT_SAYS(over, "  4x overdump (0x0000-0x1FFF repeated) = small.bin of small (Small)");
  const Outcome noDat = Romtool({"ident", dir / "over.bin"});
  EXPECT_EQ(noDat.code, 2) << noDat.output;
  EXPECT_SAYS(noDat, "--dat DAT");
  const Outcome broken = Romtool(
      {"ident", dir / "over.bin", "--dat", File("broken.dat", "<datafile>\n<game name=\"a\">\n")});
  EXPECT_EQ(broken.code, 2) << broken.output;
  EXPECT_SAYS(broken, "broken.dat:");
  const Outcome hex =
      Romtool({"ident", File("rom.hex", ":0200100041426B\n:00000001FF\n"), "--dat", dat});
  EXPECT_EQ(hex.code, 2) << hex.output;
  EXPECT_SAYS(hex, "holds Intel HEX records; ident looks up raw images");
  const Outcome help = Romtool({"ident", "--help"});
  EXPECT_SAYS(help, "8 some files identified");
  EXPECT_SAYS(help, "9 no file identified");
}

}  // namespace
}  // namespace romtool::testing
