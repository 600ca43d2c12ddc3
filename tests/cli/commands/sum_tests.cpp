// romtool sum and dump of a file.
#include <gtest/gtest.h>

#include "tests/cli/commands/romtool_fixture.h"

namespace romtool::testing {
namespace {

TEST_F(RomtoolTest, SumAndDumpOfAFile) {
  std::string image(16384, '\x01');
  image[0] = 'A';
  WriteWhole(dir / "image.bin", image);
  const Outcome sum = Romtool({"sum", "-c", "27C128", dir / "image.bin"});
  EXPECT_EQ(sum.code, 0);
  char expected[32];
  std::snprintf(expected, sizeof expected, "byte sum  0x%04X", (16383 + 'A') & 0xFFFF);
  EXPECT_SAYS(sum, expected);
  const Outcome dump = Romtool({"dump", "-c", "27C128", dir / "image.bin"});
  EXPECT_EQ(dump.code, 0);
  EXPECT_EQ(std::count(dump.output.begin(), dump.output.end(), '\n'), 2048);
  EXPECT_EQ(dump.output.substr(0, dump.output.find('\n')),
            "      0000   41   01   01   01   01   01   01   01  A       ");
}

}  // namespace
}  // namespace romtool::testing
