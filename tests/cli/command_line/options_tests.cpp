#include <gtest/gtest.h>

#include "cli/command_line/command_table.h"
#include "cli/command_line/habits.h"
#include "cli/command_line/options.h"

namespace romtool::testing {
namespace {

Options Parsed(const std::vector<std::string>& args) {
  Options options;
  std::string error;
  EXPECT_TRUE(ParseOptions(args, options, error)) << error;
  return options;
}

std::string Refused(const std::vector<std::string>& args) {
  Options options;
  std::string error;
  EXPECT_FALSE(ParseOptions(args, options, error));
  EXPECT_FALSE(error.empty());
  return error;
}

TEST(Options, ChipCommandTakesPortChipAndFile) {
  const Options o = Parsed({"write", "-p", "/dev/ttyUSB0", "-c", "27C128", "rom.hex"});
  EXPECT_EQ(o.command, Command::Write);
  EXPECT_EQ(o.port, "/dev/ttyUSB0");
  ASSERT_NE(o.chip, nullptr);
  EXPECT_EQ(o.chip->activeSize, 16384);
  EXPECT_EQ(o.chip->chipCode, 0x40);
  EXPECT_EQ(o.files, std::vector<std::string>{"rom.hex"});
  EXPECT_FALSE(o.noVerify);
  EXPECT_FALSE(o.blankCheck);
}

TEST(Options, LongFormsWithEqualsAndAnyOrder) {
  const Options o =
      Parsed({"write", "rom.bin", "--chip=27c256", "--no-verify", "--port=COM3", "--blank-check"});
  EXPECT_EQ(o.port, "COM3");
  ASSERT_NE(o.chip, nullptr);
  EXPECT_STREQ(o.chip->name, "27C256");
  EXPECT_TRUE(o.noVerify);
  EXPECT_TRUE(o.blankCheck);
  EXPECT_EQ(o.files, std::vector<std::string>{"rom.bin"});
}

TEST(Options, EachChipNameInAnyCase) {
  for (const char* name : {"27C64", "27c64", "27C128", "27c128", "27C256", "27c256"}) {
    const romprog::ChipType* chip = romprog::FindChipType(name, romprog::LetterCase::Either);
    ASSERT_NE(chip, nullptr) << name;
    EXPECT_EQ(chip->activeSize / 256, chip->chipCode) << name;
  }
  EXPECT_EQ(romprog::FindChipType("27C512", romprog::LetterCase::Either), nullptr);
  EXPECT_EQ(romprog::FindChipType("27C6", romprog::LetterCase::Either), nullptr);
  EXPECT_EQ(romprog::FindChipType("", romprog::LetterCase::Either), nullptr);
}

// Names as printed on parts are their family; others stay refused.
TEST(Options, ChipNamesAsPrintedOnPartsAreTheirFamily) {
  const std::vector<std::pair<const char*, const char*>> printed = {
      {"2764", "27C64"},       {"27C64A", "27C64"},         {"27c64-15", "27C64"},
      {"27128", "27C128"},     {"AM27C128-20DC", "27C128"}, {"27256", "27C256"},
      {"27C256-15", "27C256"}, {"M27C256B", "27C256"},      {"TMS27C256-2JL", "27C256"}};
  for (const auto& [name, family] : printed) {
    ASSERT_NE(ChipFamilyOf(name), nullptr) << name;
    EXPECT_STREQ(ChipFamilyOf(name)->name, family) << name;
  }
  for (const char* other : {"27C512", "2716", "27C2560", "27C64.bin", "COM27", "/dev/ttyS27", "",
                            "ABCDE27C64", "27C"}) {
    EXPECT_EQ(ChipFamilyOf(other), nullptr) << other;
  }
  const Options o = Parsed({"read", "-p", "P", "-c", "27C256-15", "x.bin"});
  EXPECT_STREQ(o.chip->name, "27C256");
  EXPECT_EQ(o.chipNote, "27C256-15 taken as 27C256, its family");
  EXPECT_TRUE(Parsed({"read", "-p", "P", "-c", "27C256", "x.bin"}).chipNote.empty());
  EXPECT_EQ(Refused({"read", "-p", "27C256", "x.bin"}), "-p is the port; the chip is -c 27C256");
  EXPECT_EQ(Refused({"read", "-c", "27C64", "-p", "m27c256b", "x.bin"}),
            "-p is the port; the chip is -c 27C256");
}

// Flags and words of other tools, and slips, get the romtool line that does the job.
TEST(Options, HabitsAndSlipsGetTheCommandThatDoesIt) {
  EXPECT_EQ(Refused({"-p", "P", "-c", "27C64", "-r", "x.bin"}),
            "unknown option -r; to read a chip: romtool read -p P -c 27C64 x.bin");
  EXPECT_EQ(Refused({"-w", "x.bin"}),
            "unknown option -w; to write a chip: romtool write -p PORT -c CHIP x.bin");
  EXPECT_EQ(Refused({"wrte", "-p", "P", "-c", "27C64", "x.bin"}),
            "unknown command 'wrte'; did you mean romtool write -p P -c 27C64 x.bin?");
  EXPECT_NE(Refused({"erase", "-p", "P"}).find("UV light"), std::string::npos);
  EXPECT_NE(Refused({"erase", "-p", "P"}).find("romtool blank -c CHIP -p P checks"),
            std::string::npos);
  EXPECT_NE(Refused({"-c", "27C64", "rom.bin"}).find("romtool write -p PORT -c 27C64 rom.bin"),
            std::string::npos);
  EXPECT_EQ(Refused({"write", "-p", "P", "-c", "27C64", "--verify", "x.bin"}),
            "unknown option --verify; write reads the chip back and compares by default "
            "(--no-verify leaves it out): romtool write -p P -c 27C64 x.bin");
  EXPECT_EQ(Refused({"read", "--pases", "2"}), "unknown option --pases; did you mean --passes?");
  EXPECT_EQ(Nearest("xyz", {"ports", "read"}), "");
  EXPECT_EQ(Nearest("raed", {"ports", "read"}), "read");
  EXPECT_EQ(Refused({"frobnicate"}), "unknown command 'frobnicate'");
  EXPECT_EQ(Parsed({"-pCOM3", "--chip=27C64", "blank"}).port, "COM3");
  EXPECT_EQ(Parsed({"-n5", "log"}).entries, 5);
  EXPECT_EQ(Parsed({"--port=COM4", "-c27c64", "blank"}).port, "COM4");
  EXPECT_NE(Refused({"-vx", "ports"}).find("unknown option -vx"), std::string::npos);
}

TEST(Options, FileCountsPerCommand) {
  EXPECT_EQ(Parsed({"blank", "-p", "P", "-c", "27C64"}).files.size(), 0u);
  EXPECT_EQ(Parsed({"convert", "-c", "27C64", "a.hex", "b.bin"}).files.size(), 2u);
  EXPECT_EQ(Parsed({"ports"}).command, Command::Ports);
  Refused({"blank", "-p", "P", "-c", "27C64", "extra.bin"});
  Refused({"read", "-p", "P", "-c", "27C64"});
  Refused({"convert", "-c", "27C64", "a.hex"});
  Refused({"sum", "-c", "27C64", "a.bin", "b.bin"});
}

TEST(Options, MissingOrMisplacedOptionsAreNamed) {
  EXPECT_NE(Refused({"read", "-c", "27C64", "x.bin"}).find("-p"), std::string::npos);
  EXPECT_NE(Refused({"read", "-p", "P", "x.bin"}).find("-c"), std::string::npos);
  EXPECT_NE(Refused({"read", "-p", "P", "-c", "27C32", "x.bin"}).find("27C32"), std::string::npos);
  EXPECT_NE(Refused({"dump", "-p", "P", "-c", "27C64", "x.bin"}).find("port"), std::string::npos);
  EXPECT_NE(Refused({"read", "-p", "P", "-c", "27C64", "--no-verify", "x.bin"}).find("write"),
            std::string::npos);
  EXPECT_NE(Refused({"ports", "-c", "27C64"}).find("chip"), std::string::npos);
  EXPECT_NE(Refused({"read", "-p"}).find("value"), std::string::npos);
  EXPECT_NE(Refused({"read", "--port="}).find("value"), std::string::npos);
  EXPECT_NE(Refused({"read", "--frobnicate"}).find("--frobnicate"), std::string::npos);
  EXPECT_NE(Refused({"burn", "-p", "P"}).find("burn"), std::string::npos);
  EXPECT_NE(Refused({"--verbose=1"}).find("no value"), std::string::npos);
  Refused({});
}

TEST(Options, OptionsMayStandBeforeTheCommand) {
  const Options o = Parsed({"-p", "P", "--chip=27C128", "--passes", "2", "read", "x.bin"});
  EXPECT_EQ(o.command, Command::Read);
  EXPECT_EQ(o.port, "P");
  ASSERT_NE(o.chip, nullptr);
  EXPECT_EQ(o.chip->activeSize, 16384);
  EXPECT_EQ(o.passes, 2);
  EXPECT_EQ(o.files, std::vector<std::string>{"x.bin"});
  EXPECT_EQ(Refused({"-p", "P", "-c", "27C64", "burn"}),
            "unknown command 'burn'; it is romtool write -p P -c 27C64");
  EXPECT_EQ(Refused({"-p", "P", "-c", "27C64"}), "no command given");
}

TEST(Options, AnOptionGivenToACommandThatDoesNotTakeItNamesThoseThatDo) {
  EXPECT_EQ(Refused({"ports", "--passes", "2"}), "--passes belongs to read only");
  EXPECT_EQ(Refused({"--no-verify", "read", "-p", "P", "-c", "27C64", "x.bin"}),
            "--no-verify belongs to write only");
  EXPECT_EQ(Refused({"dump", "-c", "27C64", "--log", "j.jsonl", "a.bin"}),
            "--log belongs to blank, read, write, verify and log only");
}

TEST(Options, HelpAndVersionNeedNothingElse) {
  EXPECT_TRUE(Parsed({"--help"}).help);
  EXPECT_EQ(Parsed({"--help"}).command, Command::None);
  const Options o = Parsed({"write", "-h"});
  EXPECT_TRUE(o.help);
  EXPECT_EQ(o.command, Command::Write);
  EXPECT_TRUE(Parsed({"--version"}).version);
}

TEST(Options, DoubleDashEndsOptions) {
  const Options o = Parsed({"dump", "-c", "27C64", "--", "-odd-name.bin"});
  EXPECT_EQ(o.files, std::vector<std::string>{"-odd-name.bin"});
}

TEST(Options, PrecheckPassesLenientAndTheJobLog) {
  EXPECT_TRUE(Parsed({"write", "-p", "P", "-c", "27C64", "--no-precheck", "a.bin"}).noPrecheck);
  EXPECT_EQ(Parsed({"read", "-p", "P", "-c", "27C64", "--passes=2", "a.bin"}).passes, 2);
  EXPECT_EQ(Parsed({"log", "-n", "5"}).entries, 5);
  EXPECT_EQ(Parsed({"blank", "-p", "P", "-c", "27C64", "--log", "j.jsonl"}).logFile, "j.jsonl");
  EXPECT_TRUE(Parsed({"convert", "-c", "27C64", "--lenient", "a.hex", "b.bin"}).lenient);
  Refused({"read", "-p", "P", "-c", "27C64", "--passes", "0", "a.bin"});
  Refused({"write", "-p", "P", "-c", "27C64", "--passes", "2", "a.bin"});
  Refused({"read", "-p", "P", "-c", "27C64", "--no-precheck", "a.bin"});
  Refused({"blank", "-p", "P", "-c", "27C64", "--log", "x", "--no-log"});
  Refused({"dump", "-c", "27C64", "--no-log", "a.bin"});
  Refused({"read", "-p", "P", "-c", "27C64", "--lenient", "a.bin"});
}

TEST(Options, RepeatTakesACountOnlyWhenOneFollowsAndPortsMayBeMany) {
  const Options o = Parsed({"write", "-p", "A", "-p", "B", "--repeat", "rom.bin", "-c", "27C64"});
  EXPECT_TRUE(o.repeat);
  EXPECT_EQ(o.chips, 0);
  EXPECT_EQ(o.ports, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(Parsed({"write", "-p", "A", "--repeat", "5", "rom.bin", "-c", "27C64"}).chips, 5);
  EXPECT_NE(Refused({"link", "-p", "A", "-p", "B"}).find("takes one port"), std::string::npos);
  EXPECT_NE(Refused({"write", "-p", "A", "-c", "27C64", "--serial", "0x1FFF:2", "f"}).find("past"),
            std::string::npos);
}

TEST(Options, NumbersInEveryFormAndABadOneNamesTheOptionAndTheText) {
  for (const char* text : {"0xE000", "0XE000", "$E000", "E000h", "e000H", "57344", "56k"}) {
    const Options o = Parsed({"sum", "-c", "27C64", "--base", text, "a.hex"});
    EXPECT_EQ(o.base, 0xE000u) << text;
  }
  EXPECT_TRUE(Parsed({"sum", "-c", "27C64", "--base=auto", "a.hex"}).baseAuto);
  EXPECT_EQ(Parsed({"log", "-n", "10h"}).entries, 16);  // an h at the end always means hex
  EXPECT_EQ(Parsed({"write", "-p", "P", "-c", "27C256", "--at", "8K", "a.bin"}).at, 8192);
  EXPECT_EQ(Parsed({"pack", "-c", "27C64", "-o", "x.bin", "--fill", "$00", "a.bin"}).fill, 0);
  EXPECT_EQ(Refused({"log", "-n", "12x"}), "-n takes a number from 1 to 100000, not '12x'");
  EXPECT_EQ(Refused({"pack", "-c", "27C64", "-o", "x", "--fill=0x100", "a"}),
            "--fill takes a byte (0xFF, $FF, FFh, 255), not '0x100'");
  EXPECT_EQ(Refused({"split", "-c", "27C64", "--interleave", "3", "a", "b", "c", "d"}),
            "--interleave takes 2 or 4, not '3'");
  EXPECT_EQ(Refused({"pack", "-c", "27C64", "a.bin"}), "pack needs the file to make: -o OUT");
}

}  // namespace
}  // namespace romtool::testing
