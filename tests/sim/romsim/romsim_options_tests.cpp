// romsim's command line.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "sim/romsim/romsim_options.h"

namespace romprog::sim {
namespace {

bool Parse(std::vector<std::string> args, RomsimOptions& o, std::string& error) {
  return ParseRomsimOptions(args, o, error);
}

TEST(RomsimOptions, EveryOptionInBothSpellings) {
  RomsimOptions o;
  std::string error;
  ASSERT_TRUE(Parse({"--chip", "c.bin", "--link=/tmp/com1", "--log", "x.log", "--pace=9600",
                     "--silence-ms", "120", "--silent-from", "0x100", "--fail-write-at=99",
                     "--command-reply", "aa", "--silent-command"},
                    o, error))
      << error;
  EXPECT_EQ(o.chipFile, "c.bin");
  EXPECT_EQ(o.linkPath, "/tmp/com1");
  EXPECT_EQ(o.logFile, "x.log");
  EXPECT_EQ(o.paceBaud, 9600);
  EXPECT_EQ(o.silenceMs, 120);
  EXPECT_EQ(o.device.silentFrom, 256);
  EXPECT_EQ(o.device.writeFailAt, 99);
  EXPECT_EQ(o.device.commandReply, std::optional<std::uint8_t>(0xAA));
  EXPECT_EQ(o.device.silentCommand, 1);
  EXPECT_FALSE(o.help);
  EXPECT_TRUE(o.devicePath.empty());
  EXPECT_FALSE(o.followCts);

  RomsimOptions d;
  ASSERT_TRUE(Parse(
      {"--device", "/dev/ttyUSB0", "--rts-line=cts", "--command-reply=0x0d", "--late-at", "300"}, d,
      error))
      << error;
  EXPECT_EQ(d.devicePath, "/dev/ttyUSB0");
  EXPECT_EQ(d.device.lateAt, 300);
  EXPECT_EQ(d.lateMs, 1400) << "the default, past the host's 1000 ms wait";
  EXPECT_TRUE(d.followCts);
  EXPECT_EQ(d.device.commandReply, std::optional<std::uint8_t>(0x0D));
  EXPECT_EQ(d.silenceMs, 300) << "the default";

  RomsimOptions h;
  ASSERT_TRUE(Parse({"--help"}, h, error));
  EXPECT_TRUE(h.help);

  RomsimOptions f;
  ASSERT_TRUE(Parse(
      {"--weak-bits", "40:0.5:7", "--stuck-data-bit=3:1", "--dead-address-line", "A12"}, f, error))
      << error;
  EXPECT_EQ(f.device.faults.weakBits, 40);
  EXPECT_DOUBLE_EQ(f.device.faults.weakChance, 0.5);
  EXPECT_EQ(f.device.faults.weakSeed, 7u);
  EXPECT_EQ(f.device.faults.stuckBit, 3);
  EXPECT_EQ(f.device.faults.stuckValue, 1);
  EXPECT_EQ(f.device.faults.deadLine, 12);
  RomsimOptions s;
  ASSERT_TRUE(Parse({"--weak-bits", "3:1"}, s, error)) << error;
  EXPECT_EQ(s.device.faults.weakSeed, 1u) << "the default seed";
  for (const char* bad : {"40", "40:1.5", "0:0.5", "40:0.5:x", "40:0.5:1:2"}) {
    RomsimOptions b;
    EXPECT_FALSE(Parse({"--weak-bits", bad}, b, error)) << bad;
  }
  for (const char* bad : {"8:1", "3:2", "3"}) {
    RomsimOptions b;
    EXPECT_FALSE(Parse({"--stuck-data-bit", bad}, b, error)) << bad;
  }
  RomsimOptions b;
  EXPECT_FALSE(Parse({"--dead-address-line", "15"}, b, error));
}

TEST(RomsimOptions, NonsenseIsRefusedWithTheReason) {
  const std::vector<std::vector<std::string>> bad = {
      {"--chip"},
      {"--bogus"},
      {"--pace", "fast"},
      {"--pace", "0"},
      {"--silence-ms", "-5"},
      {"--silent-from", "32768"},
      {"--fail-write-at", "12x"},
      {"--command-reply", "100"},
      {"--command-reply", "zz"},
      {"--command-reply", ""},
      {"--rts-line", "dsr"},
      {"--rts-line=cts"},
      {"--device", "/dev/ttyS0", "--link", "/tmp/l"},
      {"--chip="},
      {"--late-at", "32768"},
      {"--late-ms", "-1"},
  };
  for (const auto& args : bad) {
    RomsimOptions o;
    std::string error;
    EXPECT_FALSE(Parse(args, o, error)) << args[0];
    EXPECT_FALSE(error.empty()) << args[0];
  }
}

}  // namespace
}  // namespace romprog::sim
