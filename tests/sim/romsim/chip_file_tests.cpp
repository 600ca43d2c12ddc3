// romsim's chip file, and the recorder that saves it after programming.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "sim/romsim/chip_file.h"
#include "sim/romsim/exchange_recorder.h"

namespace romprog::sim {
namespace {

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

}  // namespace
}  // namespace romprog::sim
