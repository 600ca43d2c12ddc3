// romtool check and map: the marks of a bad read, named and pictured.
#include <gtest/gtest.h>

#include "tests/cli/commands/romtool_fixture.h"

namespace romtool::testing {
namespace {

// The marks of a bad read, named after every read and by check; the map
// shows them too.
TEST_F(RomtoolTest, CheckNamesAStuckDataBitAndADeadAddressLine) {
  const std::string chip = RandomBytes(8192, 27);
  const std::string whole = chip + std::string(32768 - 8192, '\xFF');
  Start({"--stuck-data-bit", "3:1"}, whole);
  const Outcome read = OnChip("read", "27C64", {dir / "stuck.bin"});
  EXPECT_EQ(read.code, 0) << read.output;
  EXPECT_SAYS(read, "note: data bit 3 (D3) reads 1 in all 8192 cells");
  const Outcome check = Romtool({"check", "-c", "27C64", dir / "stuck.bin"});
  EXPECT_EQ(check.code, 0) << check.output;
  EXPECT_SAYS(check, "data bit 3 (D3) reads 1 in all 8192 cells (0x0000-0x1FFF)");
  EXPECT_EQ(check.output.find("address line"), std::string::npos) << check.output;
  const Outcome map =
      Romtool({"map", "-c", "27C64", dir / "stuck.bin", "--png", dir / "stuck.png"});
  EXPECT_EQ(map.code, 0) << map.output;
  EXPECT_SAYS(map, "dark blue: zero (0x00): 0 cells");
  EXPECT_EQ(ReadWhole(dir / "stuck.png").substr(0, 4), "\x89PNG");

  romsim->Stop();
  Start({"--dead-address-line", "12"}, whole);
  EXPECT_EQ(OnChip("read", "27C64", {dir / "dead.bin"}).code, 0);
  const Outcome dead = Romtool({"check", "-c", "27C64", dir / "dead.bin"});
  EXPECT_SAYS(dead, "address line A12 changes nothing");
  EXPECT_SAYS(dead, "0x1000-0x1FFF repeats 0x0000-0x0FFF");
  EXPECT_EQ(dead.output.find("data bit"), std::string::npos) << dead.output;
  EXPECT_EQ(Romtool({"check", "-c", "27C64"}).code, 2) << "check takes a file";

  // verify --map marks what differs from the file: the upper half's cells
  // that are not the same as their lower twins.
  WriteWhole(dir / "file.bin", chip);
  int differing = 0;
  for (int a = 0x1000; a < 0x2000; ++a) differing += chip[a] != chip[a - 0x1000];
  const Outcome verify = OnChip("verify", "27C64", {"--map", dir / "v.png", dir / "file.bin"});
  EXPECT_EQ(verify.code, 1) << verify.output;
  EXPECT_SAYS(verify, "pink: differs from the file, those bits magenta: " +
                          std::to_string(differing) + " cells");
}

}  // namespace
}  // namespace romtool::testing
