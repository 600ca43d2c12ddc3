// The command table's rows: each command's own rules reach the line through
// its row, in their place among the general ones, and the row's columns say
// what the command takes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_line/command_table.h"
#include "cli/command_line/options.h"

namespace romtool::testing {
namespace {

std::string Refused(const std::vector<std::string>& args) {
  Options options;
  std::string error;
  EXPECT_FALSE(ParseOptions(args, options, error)) << "accepted";
  return error;
}

bool Taken(const std::vector<std::string>& args) {
  Options options;
  std::string error;
  const bool taken = ParseOptions(args, options, error);
  EXPECT_EQ(error, "");
  return taken;
}

// Each command's own rule, said word for word, and the line that passes it.
TEST(CommandRows, EachCommandsOwnRuleRefusesItsLine) {
  EXPECT_EQ(Refused({"pack", "-c", "27C64", "a.bin"}), "pack needs the file to make: -o OUT");
  EXPECT_TRUE(Taken({"pack", "-c", "27C64", "-o", "out.bin", "a.bin"}));
  EXPECT_EQ(Refused({"ident", "a.bin"}),
            "ident needs a ROM collection to look the files up in: --dat DAT");
  EXPECT_TRUE(Taken({"ident", "--dat", "set.dat", "a.bin"}));
  EXPECT_EQ(Refused({"map", "-c", "27C64", "a.bin"}), "map needs the picture to make: --png OUT");
  EXPECT_TRUE(Taken({"map", "-c", "27C64", "--png", "a.png", "a.bin"}));
  EXPECT_EQ(Refused({"read", "-p", "A", "-p", "B", "-c", "27C64", "-"}),
            "read onto standard output (-) takes one port");
  EXPECT_TRUE(Taken({"read", "-p", "A", "-c", "27C64", "-"}));
  EXPECT_TRUE(Taken({"read", "-p", "A", "-p", "B", "-c", "27C64", "rom.bin"}));
  EXPECT_EQ(Refused({"write", "-p", "A", "-c", "27C64", "--serial", "0x1FFF:2", "f"}),
            "--serial 0x1FFF:2: cells 0x1FFF to 0x2000 run past the 27C64's last 0x1FFF; CELL "
            "is the chip's cell, not a CPU address");
  EXPECT_TRUE(Taken({"write", "-p", "A", "-c", "27C64", "--serial", "0x1FFE:2", "f"}));
  // However long the rule as given, the chip's last cell is still named.
  EXPECT_EQ(Refused({"write", "-p", "A", "-c", "27C256", "--serial",
                     "0x000000007FFF:16:ascii:4294967295", "f"}),
            "--serial 0x000000007FFF:16:ascii:4294967295: cells 0x7FFF to 0x800E run past the "
            "27C256's last 0x7FFF; CELL is the chip's cell, not a CPU address");
}

// A line with two faults is told the same one whatever file holds the rule:
// read's rule on several ports before the chip and a port given twice,
// the others after the chip, the files and the ports.
TEST(CommandRows, OwnRulesKeepTheirPlaceAmongTheGeneralOnes) {
  EXPECT_EQ(Refused({"read", "-p", "A", "-p", "B", "-"}),
            "read onto standard output (-) takes one port");
  EXPECT_EQ(Refused({"read", "-p", "A", "-p", "A", "-c", "27C64", "-"}),
            "read onto standard output (-) takes one port");
  EXPECT_EQ(Refused({"pack", "a.bin"}), "pack needs the chip type: -c 27C64|27C128|27C256");
  EXPECT_EQ(Refused({"pack", "-c", "27C64"}), "pack takes at least 1 file, got 0");
  EXPECT_EQ(Refused({"map", "-c", "27C64"}), "map takes 1 file, got 0");
  EXPECT_EQ(Refused({"ident"}), "ident takes at least 1 file, got 0");
  EXPECT_EQ(Refused({"write", "-p", "A", "-c", "27C64", "--serial", "0x1FFF:2"}),
            "write takes 1 file, got 0");
  EXPECT_EQ(Refused({"write", "-p", "A", "-p", "A", "-c", "27C64", "--serial", "0x1FFF:2", "f"}),
            "-p A given twice: a programmer takes one job at a time; give each port once");
}

// The manyPorts column decides which commands take -p more than once: the
// chip jobs that run on every port at once, and no other.
TEST(CommandRows, SeveralPortsGoToTheCommandsWhoseRowTakesThem) {
  std::vector<std::string> many;
  for (const CommandRow& row : CommandTable()) {
    if (row.manyPorts) many.push_back(row.name);
    if (!row.needsPort) continue;
    Options options;
    std::string error;
    ParseOptions({row.name, "-p", "A", "-p", "B", "-c", "27C64", "f"}, options, error);
    const bool onePort = error.find("takes one port") != std::string::npos;
    EXPECT_EQ(onePort, !row.manyPorts) << row.name << ": " << error;
  }
  EXPECT_EQ(many, (std::vector<std::string>{"blank", "read", "write", "verify"}));
  EXPECT_EQ(Refused({"link", "-p", "A", "-p", "B"}),
            "link takes one port; write, verify, blank and read take -p more than once");
}

}  // namespace
}  // namespace romtool::testing
