// The pieces of romsim that need no line: its command line, the chip file,
// the log line and the pacing of a slow line.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "sim/romsim/chip_file.h"
#include "sim/romsim/exchange_recorder.h"
#include "sim/romsim/line_pacer.h"
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

class ChipFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/romsim-chip-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    dir_ = dir;
    path_ = dir_ + "/chip.bin";
  }
  void TearDown() override {
    std::remove(path_.c_str());
    rmdir(dir_.c_str());
  }
  std::string Contents() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string dir_, path_;
};

TEST_F(ChipFileTest, MissingFileIsCreatedBlankAndSavedContentComesBack) {
  ChipImage chip;
  chip.fill(0x00);
  std::string error;
  ASSERT_TRUE(LoadOrCreateChip(path_, chip, error)) << error;
  EXPECT_EQ(chip[0], 0xFF);
  EXPECT_EQ(chip[kChipCapacity - 1], 0xFF);
  EXPECT_EQ(Contents(), std::string(kChipCapacity, '\xFF'));

  for (int a = 0; a < kChipCapacity; ++a) chip[a] = static_cast<std::uint8_t>(a ^ (a >> 8));
  ASSERT_TRUE(SaveChip(path_, chip, error)) << error;
  ChipImage again;
  ASSERT_TRUE(LoadOrCreateChip(path_, again, error)) << error;
  EXPECT_EQ(again, chip);
  struct stat st {};
  ASSERT_EQ(stat(dir_.c_str(), &st), 0);
  EXPECT_EQ(st.st_nlink, 2u) << "no temporary file left beside the chip";
}

TEST_F(ChipFileTest, FileOfAnotherSizeIsRefusedAndLeftAlone) {
  for (std::size_t size : {std::size_t{8192}, std::size_t{kChipCapacity + 1}, std::size_t{0}}) {
    {
      std::ofstream out(path_, std::ios::binary | std::ios::trunc);
      out << std::string(size, 'A');
    }
    ChipImage chip;
    std::string error;
    EXPECT_FALSE(LoadOrCreateChip(path_, chip, error)) << size;
    EXPECT_NE(error.find("32768"), std::string::npos) << error;
    EXPECT_EQ(Contents().size(), size);
  }
}

TEST_F(ChipFileTest, UnwritablePlaceIsReported) {
  ChipImage chip{};
  std::string error;
  EXPECT_FALSE(SaveChip(dir_ + "/no/such/dir/chip.bin", chip, error));
  EXPECT_FALSE(error.empty());
}

TEST(ExchangeLine, NamesEveryCount) {
  ExchangeLog log;
  log.command = 0x41;
  log.dataBytes = 100;
  log.acknowledges = 99;
  log.ending = "bad-cell";
  log.address = 99;
  log.programmed = 98;
  EXPECT_EQ(FormatExchange(log),
            "command=0x41 bytes=100 acks=99 ending=bad-cell address=99 programmed=98");
}

TEST_F(ChipFileTest, RecorderLogsEachExchangeOnceAndSavesOnlyAfterProgramming) {
  const std::string logPath = dir_ + "/log.txt";
  {
    ExchangeRecorder recorder(logPath, path_);
    std::string error;
    ASSERT_TRUE(recorder.Open(error)) << error;
    DeviceModel model;
    std::vector<std::uint8_t> out;
    model.Receive(0x20, out);
    model.EndOfExchange("silence");
    recorder.CatchUp(model);
    recorder.CatchUp(model);
    EXPECT_TRUE(Contents().empty()) << "a read writes no chip file";
    model.Receive(0x21, out);
    model.Receive(0x12, out);
    model.EndOfExchange("silence");
    recorder.CatchUp(model);
    EXPECT_EQ(Contents().size(), static_cast<std::size_t>(kChipCapacity));
    EXPECT_EQ(Contents()[0], 0x12);
  }
  std::ifstream in(logPath);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "command=0x20 bytes=1 acks=0 ending=silence address=0 programmed=0",
                       "command=0x21 bytes=1 acks=1 ending=silence address=1 programmed=1"}));
  std::remove(logPath.c_str());
}

TEST(LinePacer, EachByteTakesTenBitTimes) {
  using Clock = std::chrono::steady_clock;
  LinePacer pacer(9600);
  const auto start = Clock::now();
  for (int i = 0; i < 24; ++i) {
    pacer.Received();
    pacer.Sending();
  }
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
  EXPECT_GE(took.count(), 48 * 10 * 1000000LL / 9600) << "never quicker than the line";

  LinePacer none(0);
  const auto before = Clock::now();
  for (int i = 0; i < 1000; ++i) none.Sending();
  EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(50)) << "no pacing asked";
}

}  // namespace
}  // namespace romprog::sim
