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

namespace romprog {
namespace {

// The 0x form every message writes: at least the digits asked for, never
// fewer than the value needs, as printf's "0x%0*X" does.
TEST(HexNumber, AtLeastTheDigitsAskedNeverFewerThanNeeded) {
  EXPECT_EQ(HexNumber(0x1A8, 4), "0x01A8");
  EXPECT_EQ(HexNumber(0xFF, 2), "0xFF");
  EXPECT_EQ(HexNumber(0x7, 2), "0x07");
  EXPECT_EQ(HexNumber(0xabcdef, 6), "0xABCDEF");
  EXPECT_EQ(HexNumber(0x10000, 4), "0x10000");
  EXPECT_EQ(HexNumber(0, 0), "0x0");
  EXPECT_EQ(HexNumber(0, 4), "0x0000");
  EXPECT_EQ(HexNumber(0xDEADBEEF, 8), "0xDEADBEEF");
  EXPECT_EQ(HexNumber(0x12, 8), "0x00000012");
  // Past 32 bits: cells a record's length carries beyond 4 GiB.
  EXPECT_EQ(HexNumber(0x100000005ULL, 4), "0x100000005");
  EXPECT_EQ(HexNumber(0xFFFFFFFFFFFFFFFFULL, 4), "0xFFFFFFFFFFFFFFFF");
  EXPECT_EQ(HexNumber(0x5, 18), "0x000000000000000005");
}

}  // namespace
}  // namespace romprog
