#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/hex_text.h"

namespace romprog::testing {
namespace {

TEST(ReadHexField, LongestLeadingRunOfHexDigits) {
  EXPECT_EQ(ReadHexField("1F", 2), 31u);
  EXPECT_EQ(ReadHexField("1f", 2), 31u);
  EXPECT_EQ(ReadHexField("1G", 2), 1u);
  EXPECT_EQ(ReadHexField("G1", 2), 0u);
  EXPECT_EQ(ReadHexField(" 1", 2), 0u);
  EXPECT_EQ(ReadHexField("", 0), 0u);
  EXPECT_EQ(ReadHexField("aBcD", 4), 0xABCDu);
  EXPECT_EQ(ReadHexField("7FF0", 4), 0x7FF0u);
  EXPECT_EQ(ReadHexField("12345", 3), 0x123u);  // only the field's own characters
  EXPECT_EQ(ReadHexField("0:1", 3), 0u);
}

}  // namespace
}  // namespace romprog::testing
