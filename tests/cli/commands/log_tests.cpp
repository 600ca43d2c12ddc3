// romtool log: every chip command leaves its line.
#include <gtest/gtest.h>

#include "tests/cli/commands/romtool_fixture.h"

namespace romtool::testing {
namespace {

TEST_F(RomtoolTest, EveryChipCommandIsLogged) {
  Start();
  Saved("image.bin", 8192);
  ASSERT_EQ(OnChip("write", "27C64", {dir / "image.bin"}).code, 0);
  EXPECT_EQ(OnChip("blank", "27C64", {"--log", dir / "other.jsonl"}).code, 1);
  EXPECT_EQ(OnChip("verify", "27C64", {"--no-log", dir / "image.bin"}).code, 0);
  const std::string log = ReadWhole(dir / "data/romprog/romtool-log.jsonl");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  const Outcome sum = Romtool({"sum", "-c", "27C64", dir / "image.bin"});
  const std::string crc = sum.output.substr(sum.output.find("CRC-32    ") + 10, 10);
  EXPECT_NE(log.find("\"command\":\"write\""), std::string::npos) << log;
  EXPECT_NE(log.find("\"file_crc32\":\"" + crc), std::string::npos) << log;
  EXPECT_NE(log.find("\"chip_crc32\":\"" + crc + "\",\"result\":\"ok\",\"exit\":0,\"cells\":24576"),
            std::string::npos)
      << log;
  const Outcome table = Romtool({"log", "-n", "1", "--log", dir / "other.jsonl"});
  EXPECT_EQ(table.code, 0);
  EXPECT_SAYS(table, "blank    27C64    fault");
}

}  // namespace
}  // namespace romtool::testing
