#include <gtest/gtest.h>

#include "core/number_text.h"

namespace romprog {
namespace {

// Every form the options take is in the options' tests; these are the texts
// no form reads, and the largest number there is.
TEST(NumberText, NoNumberFromAHalfFormOrPastThirtyTwoBits) {
  for (const char* bad : {"0x", "$", "h", "k", "0x1G", "4294967296", "4194304k", "-1", " 1"}) {
    EXPECT_FALSE(NumberFromText(bad)) << bad;
  }
  EXPECT_EQ(NumberFromText("0xFFFFFFFF"), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace romprog
