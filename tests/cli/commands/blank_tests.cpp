// romtool blank against romsim: a blank and a programmed chip, any command
// reply, and several ports stopped together.
#include <gtest/gtest.h>

#include "tests/cli/commands/romtool_fixture.h"

namespace romtool::testing {
namespace {

TEST_F(RomtoolTest, BlankCheckOfABlankAndAProgrammedChip) {
  Start();
  const Outcome blank = OnChip("blank", "27C256");
  EXPECT_EQ(blank.code, 0) << blank.output;
  std::string chip(32768, '\xFF');
  chip[5000] = '\x12';
  chip[6000] = '\x7F';
  chip[20000] = '\x00';  // past the 27C128
  romsim->Stop();
  Start({}, chip);
  const std::string found =
      "not blank: 2 programmed cells, 7 programmed bits; first 0x1388 (5000), last 0x1770 (6000)";
  const Outcome programmed = OnChip("blank", "27C128");
  EXPECT_EQ(programmed.code, 1) << programmed.output;
  EXPECT_SAYS(programmed, found);
  // The same with the port and the chip named before the command word.
  const Outcome before = Romtool({"-p", port, "-c", "27C128", "blank"});
  EXPECT_EQ(before.code, 1) << before.output;
  EXPECT_SAYS(before, found);
}

// Ctrl-C stops every port's job, each logged as stopped.
TEST_F(RomtoolTest, SeveralPortsStopTogetherOnCtrlC) {
  Start({"--pace", "9600"});
  std::string error;
  auto other = romprog::sim::RomsimProcess::Start(
      ROMSIM_BINARY, {"--chip", dir / "chip2.bin", "--pace", "9600"}, error);
  ASSERT_TRUE(other) << error;
  const Outcome run = Interrupt({"blank", "-c", "27C64", "-p", port, "-p", other->slave()}, 800);
  EXPECT_EQ(run.code, 130) << run.output;
  EXPECT_EQ(Count(run.output, "romtool: stopped at cell "), 2) << run.output;
  EXPECT_EQ(Count(ReadWhole(dir / "data/romprog/romtool-log.jsonl"), "\"exit\":130"), 2);
  other->Stop();
}

TEST_F(RomtoolTest, AnyCommandReplyIsTaken) {
  for (const char* reply : {"AA", "FF", "55"}) {
    Start({"--command-reply", reply});
    const Outcome run = OnChip("blank", "27C64");
    EXPECT_EQ(run.code, 0) << reply << run.output;
    romsim->Stop();
  }
  romsim.reset();
}

}  // namespace
}  // namespace romtool::testing
