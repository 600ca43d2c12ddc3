#include <gtest/gtest.h>

#include "cli/base/serial_number.h"

namespace romtool::testing {
namespace {

TEST(SerialNumbers, EachCodingItsCellsAndWhatFits) {
  SerialRule rule;
  std::string error;
  ASSERT_TRUE(ParseSerialRule("0x10:3:bcd:7", rule, error)) << error;
  EXPECT_EQ(rule.cell, 16);
  EXPECT_EQ(rule.start, 7u);
  EXPECT_FALSE(ParseSerialRule("0x10:2:hex", rule, error));
  const struct {
    const char* rule;
    std::uint64_t value;
    const char* cells;
  } cases[] = {{"1:2:le", 0x1234, "\xFF\x34\x12\xFF"},
               {"1:2:be", 0x1234, "\xFF\x12\x34\xFF"},
               {"1:3:ascii", 42,
                "\xFF"
                "042"},
               {"1:2:bcd", 1234, "\xFF\x12\x34\xFF"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(ParseSerialRule(c.rule, rule, error)) << c.rule;
    std::string image(4, '\xFF');
    PutSerial(rule, c.value, reinterpret_cast<std::uint8_t*>(image.data()));
    EXPECT_EQ(image.substr(0, std::string(c.cells).size()), c.cells) << c.rule;
  }
  ASSERT_TRUE(ParseSerialRule("0:1", rule, error));
  EXPECT_TRUE(SerialFits(rule, 255));
  EXPECT_FALSE(SerialFits(rule, 256));
  ASSERT_TRUE(ParseSerialRule("0:2:bcd", rule, error));
  EXPECT_FALSE(SerialFits(rule, 10000));
  // A failed chip's serial goes to the next chip, lowest first.
  SerialPlan plan(100);
  plan.Take();
  const std::uint64_t failed = plan.Take();
  plan.Take();
  plan.GiveBack(failed);
  EXPECT_EQ(plan.Take(), 101u);
  EXPECT_EQ(plan.Take(), 103u);
}

}  // namespace
}  // namespace romtool::testing
