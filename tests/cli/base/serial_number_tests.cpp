// Serial numbers on their own: the rule --serial takes, whether a number
// fits its cells, how it is laid in them, where it lies against the chip,
// where a run goes on from the job log, and which chip gets which number.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "cli/base/exit_code.h"
#include "cli/base/job_log.h"
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

SerialRule Rule(const std::string& text) {
  SerialRule rule;
  std::string error;
  EXPECT_TRUE(ParseSerialRule(text, rule, error)) << text << ": " << error;
  return rule;
}

std::string Refusal(const std::string& text) {
  SerialRule rule;
  std::string error;
  EXPECT_FALSE(ParseSerialRule(text, rule, error)) << text;
  return error;
}

// The serial written into `width` cells from cell 1 of a blank 10-cell image.
std::string Written(const std::string& rule, std::uint64_t value) {
  std::string image(10, '\xFF');
  PutSerial(Rule(rule), value, reinterpret_cast<std::uint8_t*>(image.data()));
  return image;
}

TEST(SerialNumbers, TheRuleTakesOneToSixteenCellsAndBinaryAtMostEight) {
  const SerialRule plain = Rule("$1FF0:2");
  EXPECT_EQ(plain.cell, 0x1FF0);
  EXPECT_EQ(plain.width, 2);
  EXPECT_EQ(plain.coding, SerialCoding::Little);
  EXPECT_FALSE(plain.hasStart);
  // A start may follow the width directly; the coding stays little-endian.
  const SerialRule started = Rule("0x10:2:100");
  EXPECT_EQ(started.coding, SerialCoding::Little);
  EXPECT_TRUE(started.hasStart);
  EXPECT_EQ(started.start, 100u);
  EXPECT_EQ(Rule("0:16:ascii").width, 16);
  EXPECT_EQ(Rule("0:8:be").width, 8);
  EXPECT_EQ(Rule("0:1:bcd").coding, SerialCoding::Bcd);
  EXPECT_EQ(Refusal("0:9"), "--serial: binary and BCD serials take at most 8 cells");
  EXPECT_EQ(Refusal("0:9:bcd"), "--serial: binary and BCD serials take at most 8 cells");
  for (const char* bad : {"0:0", "0:17:ascii", "0", "0:1:le:5:6", "0:2:hex:5", "x:2",
                          "0:1:", "0:1:le:", "0:2:be:7:", "0::1"}) {
    EXPECT_EQ(
        Refusal(bad),
        std::string("--serial takes CELL:WIDTH[:le|be|ascii|bcd][:START], not '") + bad + "'");
  }
}

TEST(SerialNumbers, AValueFitsUpToTheLastOneItsCellsHold) {
  EXPECT_TRUE(SerialFits(Rule("0:2"), 0xFFFF));
  EXPECT_FALSE(SerialFits(Rule("0:2:be"), 0x10000));
  EXPECT_TRUE(SerialFits(Rule("0:7"), 0xFFFFFFFFFFFFFFull));
  EXPECT_FALSE(SerialFits(Rule("0:7"), 0x100000000000000ull));
  EXPECT_TRUE(SerialFits(Rule("0:8"), std::numeric_limits<std::uint64_t>::max()));
  EXPECT_TRUE(SerialFits(Rule("0:3:ascii"), 999));
  EXPECT_FALSE(SerialFits(Rule("0:3:ascii"), 1000));
  EXPECT_TRUE(SerialFits(Rule("0:1:ascii"), 0));
  EXPECT_TRUE(SerialFits(Rule("0:1:bcd"), 99));
  EXPECT_FALSE(SerialFits(Rule("0:1:bcd"), 100));
}

TEST(SerialNumbers, EachCodingFillsExactlyItsCells) {
  EXPECT_EQ(Written("1:3:be", 0x123456), "\xFF\x12\x34\x56\xFF\xFF\xFF\xFF\xFF\xFF");
  EXPECT_EQ(Written("1:3:le", 0x123456), "\xFF\x56\x34\x12\xFF\xFF\xFF\xFF\xFF\xFF");
  EXPECT_EQ(Written("1:5:ascii", 42),
            "\xFF"
            "00042\xFF\xFF\xFF\xFF");
  EXPECT_EQ(Written("1:3:bcd", 123456), "\xFF\x12\x34\x56\xFF\xFF\xFF\xFF\xFF\xFF");
  EXPECT_EQ(Written("1:2:bcd", 907), "\xFF\x09\x07\xFF\xFF\xFF\xFF\xFF\xFF\xFF");
  EXPECT_EQ(Written("1:8:be", 0x0102030405060708ull), "\xFF\x01\x02\x03\x04\x05\x06\x07\x08\xFF");
}

TEST(SerialNumbers, TheRuleIsWrittenBackAsTakenWithTheNextStart) {
  const SerialRule rule = Rule("$1FF0:2:bcd:7");
  EXPECT_EQ(SerialRuleText(rule, 101), "0x1FF0:2:bcd:101");
  EXPECT_EQ(SerialRuleWithoutStart(rule), "0x1FF0:2:bcd");
  const SerialRule again = Rule(SerialRuleText(rule, 101));
  EXPECT_EQ(again.cell, rule.cell);
  EXPECT_EQ(again.width, rule.width);
  EXPECT_EQ(again.coding, rule.coding);
  EXPECT_EQ(again.start, 101u);
  EXPECT_EQ(SerialRuleWithoutStart(Rule("0x10:4:ascii")), "0x0010:4:ascii");
  EXPECT_EQ(SerialRuleWithoutStart(Rule("0x10:4:be")), "0x0010:4:be");
  EXPECT_EQ(SerialRuleWithoutStart(Rule("0x10:4")), "0x0010:4:le");
}

TEST(SerialNumbers, CellsPastTheChipAreNamedWithTheCellABaseMakesOfThem) {
  const std::optional<std::uint32_t> none;
  EXPECT_EQ(SerialCellFault(Rule("0x1FFE:2"), "0x1FFE:2", "27C64", 8192, none, false), "");
  EXPECT_EQ(SerialCellFault(Rule("0x1FFF:2"), "0x1FFF:2", "27C64", 8192, none, false),
            "--serial 0x1FFF:2: cells 0x1FFF to 0x2000 run past the 27C64's last 0x1FFF; CELL "
            "is the chip's cell, not a CPU address");
  EXPECT_EQ(SerialCellFault(Rule("0xFFF0:2:be:5"), "0xFFF0:2:be:5", "27C64", 8192, 0xE000u, false),
            "--serial 0xFFF0:2:be:5: cells 0xFFF0 to 0xFFF1 run past the 27C64's last 0x1FFF; CELL "
            "is the chip's cell, not a CPU address: with --base 0xE000 the address is cell "
            "0x1FF0, --serial 0x1FF0:2:be:5");
  // Its last cell past the window of the base: no cell to offer.
  EXPECT_EQ(SerialCellFault(Rule("0xFFFF:2"), "0xFFFF:2", "27C64", 8192, 0xE000u, false),
            "--serial 0xFFFF:2: cells 0xFFFF to 0x10000 run past the 27C64's last 0x1FFF; CELL "
            "is the chip's cell, not a CPU address");
  EXPECT_EQ(SerialCellFault(Rule("0xFFF0:2"), "0xFFF0:2", "27C64", 8192, none, true),
            "--serial 0xFFF0:2: cells 0xFFF0 to 0xFFF1 run past the 27C64's last 0x1FFF; CELL "
            "is the chip's cell, not a CPU address: where --base auto maps it, the address is "
            "cell 0x1FF0, --serial 0x1FF0:2");
}

// A log line of a write of `file`'s sums that ended with `exitCode`.
std::string WriteLine(const char* command, std::uint16_t fileSum, std::uint64_t serial,
                      int exitCode) {
  JobRecord record;
  record.command = command;
  record.fileSums = true;
  record.fileSum = fileSum;
  record.fileCrc = 0xCAFE0000u + fileSum;
  record.hasSerial = true;
  record.serial = serial;
  record.exitCode = exitCode;
  return JobLine(record) + "\n";
}

TEST(SerialNumbers, ARunGoesOnAfterTheHighestSerialOfTheSameFileThatPassed) {
  const std::string mine = WriteLine("write", 0x1234, 0, kSuccess);
  const std::string sum = LogField(mine, "file_sum");
  const std::string crc = LogField(mine, "file_crc32");
  ASSERT_FALSE(sum.empty()) << mine;
  ASSERT_FALSE(crc.empty()) << mine;
  const std::string log =
      WriteLine("write", 0x1234, 105, kSuccess) + WriteLine("write", 0x1234, 100, kSuccess) +
      WriteLine("write", 0x1234, 300, kChipFault) + WriteLine("write", 0x4321, 400, kSuccess) +
      WriteLine("verify", 0x1234, 500, kSuccess) + "not a JSON line\n";
  EXPECT_EQ(SerialAfterLog(log, sum, crc, 7), 106u);
  EXPECT_EQ(SerialAfterLog(WriteLine("write", 0x1234, 0, kSuccess), sum, crc, 7), 1u);
  EXPECT_EQ(SerialAfterLog(WriteLine("write", 0x1234, 300, kChipFault), sum, crc, 7), 7u);
  EXPECT_EQ(SerialAfterLog("", sum, crc, 7), 7u);
}

TEST(SerialNumbers, SerialsGivenBackGoOutLowestFirstThenNewOnesFollow) {
  SerialPlan plan(10);
  EXPECT_EQ(plan.Take(), 10u);
  EXPECT_EQ(plan.Take(), 11u);
  EXPECT_EQ(plan.Take(), 12u);
  plan.GiveBack(12);
  plan.GiveBack(10);
  EXPECT_EQ(plan.Take(), 10u);
  EXPECT_EQ(plan.Take(), 12u);
  EXPECT_EQ(plan.Take(), 13u);
}

}  // namespace
}  // namespace romtool::testing
