#include <gtest/gtest.h>

#include "cli/base/exit_code.h"

namespace romtool::testing {
namespace {

TEST(ExitCodes, EachHasItsWordAndAnUnknownOneIsNotTakenForAnother) {
  EXPECT_EQ(ExitWord(kSuccess), "ok");
  EXPECT_EQ(ExitWord(kChipFault), "fault");
  EXPECT_EQ(ExitWord(kUsageOrFile), "file-error");
  EXPECT_EQ(ExitWord(kNoAnswer), "no-answer");
  EXPECT_EQ(ExitWord(kStopped), "stopped");
  EXPECT_EQ(ExitWord(kUnstable), "unstable");
  EXPECT_EQ(ExitWord(5), "exit-5");
}

}  // namespace
}  // namespace romtool::testing
