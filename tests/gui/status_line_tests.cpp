// The status line's progress value and messages.
#include <gtest/gtest.h>

#include "gui/status_line.h"
#include "tests/gui/test_app.h"

namespace romprog::testing {
namespace {

TEST(StatusLine, ProgressValueUsesTheIntegerDivisor) {
  EXPECT_EQ(ProgressValue(8191, 8192), 101);
  EXPECT_EQ(ProgressValue(16383, 16384), 100);
  EXPECT_EQ(ProgressValue(32767, 32768), 100);
  EXPECT_EQ(ProgressValue(80, 8192), 0);
  EXPECT_EQ(ProgressValue(81, 8192), 1);
  EXPECT_EQ(ProgressValue(162, 16384), 0);
  EXPECT_EQ(ProgressValue(163, 16384), 1);
  EXPECT_EQ(ProgressValue(326, 32768), 0);
  EXPECT_EQ(ProgressValue(327, 32768), 1);
}

TEST(StatusLine, MessagesJoinTheirPiecesExactly) {
  EXPECT_EQ(NotBlankMessage(10, 254), Cp1251("Ячейка 10 содержит 254  (надо 255)."));
  EXPECT_EQ(DiffersMessage(4095, 0, 65), Cp1251("Ячейка 4095 содержит 0  (надо 65)."));
  EXPECT_EQ(NotProgrammedMessage(32767), Cp1251("Ячейка 32767 Непрограммируется."));
}

}  // namespace
}  // namespace romprog::testing
