// romtool pack, split and join.
#include <gtest/gtest.h>

#include "tests/cli/commands/romtool_fixture.h"

namespace romtool::testing {
namespace {

TEST_F(RomtoolTest, PackSplitAndJoin) {
  std::string parts;
  std::vector<std::string> args{"pack", "-c", "27C256", "-o", dir / "four.bin"};
  for (int k = 0; k < 4; ++k) {
    const std::string name = "part" + std::to_string(k) + ".bin";
    parts += Saved(name, 8192);
    args.push_back(dir / name + "@" + std::to_string(k * 8) + "k");
  }
  const Outcome packed = Romtool(args);
  EXPECT_EQ(packed.code, 0) << packed.output;
  EXPECT_TRUE(Same(ReadWhole(dir / "four.bin"), parts));
  EXPECT_SAYS(packed, "0x6000-0x7FFF    8192 bytes  sum 0x");
  const Outcome overlap = Romtool(
      {"pack", "-c", "27C256", "-o", dir / "no.bin", dir / "part0.bin", dir / "part1.bin@0x1F00"});
  EXPECT_EQ(overlap.code, 2) << overlap.output;
  EXPECT_SAYS(overlap, "part0.bin (0x0000-0x1FFF) and " + dir / "part1.bin" +
                           " (0x1F00-0x3EFF) overlap in cells 0x1F00-0x1FFF");
  EXPECT_FALSE(std::filesystem::exists(dir / "no.bin"));
  const std::string image = Saved("m68k.bin", 65536);
  EXPECT_EQ(
      Romtool({"split", "-c", "27C256", "--swap", dir / "m68k.bin", dir / "hi.hex", dir / "lo.bin"})
          .code,
      0);
  const Outcome joined =
      Romtool({"join", "-c", "27C256", "--swap", dir / "hi.hex", dir / "lo.bin", dir / "back.bin"});
  EXPECT_EQ(joined.code, 0) << joined.output;
  EXPECT_TRUE(Same(ReadWhole(dir / "back.bin"), image));
}

}  // namespace
}  // namespace romtool::testing
