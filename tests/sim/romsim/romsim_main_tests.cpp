// romsim itself, on a real pseudo-terminal, driven as a host drives its port.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

#include "sim/host/romsim_client.h"
#include "sim/raw_line.h"

namespace romprog::sim {
namespace {

constexpr int kAck = 0xAA;
constexpr int kSize64 = 8192;

// The bytes a terminal in cooked mode would eat or change come first.
std::vector<std::uint8_t> Image(int size) {
  std::vector<std::uint8_t> image(static_cast<std::size_t>(size));
  const std::uint8_t tricky[] = {0x0D, 0x0A, 0x11, 0x13, 0x03, 0x04, 0x1A, 0x7F, 0x00, 0xFF};
  for (int a = 0; a < size; ++a) image[a] = static_cast<std::uint8_t>((a * 13) ^ (a >> 7));
  std::copy(std::begin(tricky), std::end(tricky), image.begin());
  return image;
}

class RomsimPty : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/romsim-test-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    dir_ = dir;
    chip_ = dir_ + "/chip.bin";
    log_ = dir_ + "/log.txt";
  }
  void TearDown() override {
    host_.reset();
    sim_.reset();
    for (const std::string& f : {chip_, log_, dir_ + "/com1", dir_ + "/file"}) unlink(f.c_str());
    rmdir(dir_.c_str());
  }

  // Starts romsim with the chip file and log of this test, and opens its line.
  void Start(std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"--chip", chip_, "--log", log_};
    args.insert(args.end(), extra.begin(), extra.end());
    std::string error;
    sim_ = RomsimProcess::Start(ROMSIM_BINARY, args, error);
    ASSERT_NE(sim_, nullptr) << error;
    Reopen();
  }
  void Reopen() {
    host_.reset();
    std::string error;
    host_ = HostLine::Open(sim_->slave(), error);
    ASSERT_NE(host_, nullptr) << error;
  }
  int Stop(int signal = SIGTERM) {
    host_.reset();
    return sim_->Stop(signal);
  }

  int Command(std::uint8_t command) {
    host_->Send(command);
    return host_->Read(1000);
  }
  // Writes `image` from address 0; the address whose reply was not 0xAA, or -1.
  int Write(std::uint8_t command, const std::vector<std::uint8_t>& image) {
    if (Command(command) < 0) return -2;
    for (std::size_t a = 0; a < image.size(); ++a) {
      host_->Send(image[a]);
      if (host_->Read(1000) != kAck) return static_cast<int>(a);
    }
    return -1;
  }
  // Reads as the host does: acknowledges each byte; stops at the first missing one.
  std::vector<std::uint8_t> Read(std::uint8_t command, int size) {
    std::vector<std::uint8_t> got;
    if (Command(command) < 0) return got;
    for (int a = 0; a < size; ++a) {
      const int b = host_->Read(1000);
      if (b < 0) break;
      got.push_back(static_cast<std::uint8_t>(b));
      host_->Send(kAck);
    }
    return got;
  }
  std::vector<std::string> LogLines() const {
    std::ifstream in(log_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  std::string ChipFile() const {
    std::ifstream in(chip_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void WaitForLogLines(std::size_t count) const {
    for (int i = 0; i < 200 && LogLines().size() < count; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  std::string dir_, chip_, log_;
  std::unique_ptr<RomsimProcess> sim_;
  std::unique_ptr<HostLine> host_;
};

TEST_F(RomsimPty, WholeWriteAndReadOfA27C64PassEveryByteUnchanged) {
  Start();
  const auto image = Image(kSize64);
  EXPECT_EQ(Write(0x21, image), -1);
  EXPECT_EQ(host_->Read(100), -1) << "nothing after the last acknowledge";
  const auto back = Read(0x20, kSize64);
  EXPECT_EQ(back, image);
  EXPECT_EQ(host_->Read(100), -1) << "exactly 8192 data bytes";
  WaitForLogLines(2);
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("command=0x21 bytes=8192 acks=8192 ending=complete address=8192", 0), 0u)
      << lines[0];
  EXPECT_EQ(lines[1],
            "command=0x20 bytes=8192 acks=8192 ending=complete address=8192 programmed=0");
  const std::string file = ChipFile();
  ASSERT_EQ(file.size(), 32768u);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), file.begin(),
                         [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }));
  EXPECT_EQ(file.substr(kSize64), std::string(32768 - kSize64, '\xFF'));
  EXPECT_EQ(Stop(), 0);
}

TEST_F(RomsimPty, ChipPersistsBetweenRunsAndTheHostMayReopenThePort) {
  Start();
  EXPECT_EQ(ChipFile(), std::string(32768, '\xFF')) << "created blank at start";
  const std::vector<std::uint8_t> head = {0x12, 0x34, 0x0D, 0x0A};
  Write(0x81, head);
  EXPECT_EQ(Stop(), 0);

  Start();
  const auto got = Read(0x80, 6);
  EXPECT_EQ(got, (std::vector<std::uint8_t>{0x12, 0x34, 0x0D, 0x0A, 0xFF, 0xFF}));
  // The host closes its port after every command and opens it again; byte 6,
  // sent for the last acknowledge, was never read. A tty keeps it over the
  // reopen, as a real one does: emptying the queue is the host's business.
  Reopen();
  Reopen();
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_EQ(host_->Read(1000), 0xFF) << "the byte a real port would hold too";
  EXPECT_EQ(Command(0x40), 0x00);
  EXPECT_EQ(host_->Read(1000), 0x12);
  EXPECT_EQ(Stop(SIGINT), 0);
}

TEST_F(RomsimPty, ProgrammingOnlyClearsBitsOverThePty) {
  Start();
  EXPECT_EQ(Write(0x21, {0x0F, 0xF0}), -1);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_EQ(Write(0x21, {0x0E, 0xF1}), 1) << "0xF1 sets a bit 0xF0 has cleared";
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_EQ(Read(0x20, 2), (std::vector<std::uint8_t>{0x0E, 0xF0}));
}

TEST_F(RomsimPty, SilenceEndsAnExchangeAndTheNextByteIsACommand) {
  Start({"--silence-ms", "100"});
  ASSERT_EQ(Command(0x21), 0x00);
  host_->Send(0x20);
  EXPECT_EQ(host_->Read(1000), kAck) << "inside the write 0x20 is data";
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  EXPECT_EQ(Command(0x20), 0x00) << "after the pause it is a command";
  EXPECT_EQ(host_->Read(1000), 0x20);
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  WaitForLogLines(2);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{
                            "command=0x21 bytes=1 acks=1 ending=silence address=1 programmed=1",
                            "command=0x20 bytes=1 acks=0 ending=silence address=0 programmed=0"}));
}

TEST_F(RomsimPty, FaultOptions) {
  Start({"--silent-from", "5", "--silence-ms", "100"});
  EXPECT_EQ(Read(0x40, 16384).size(), 5u);
  EXPECT_EQ(Write(0x41, std::vector<std::uint8_t>(10, 0x00)), 5);
  EXPECT_EQ(Stop(), 0);
  EXPECT_EQ(ChipFile().substr(0, 6), std::string("\0\0\0\0\0\xFF", 6)) << "cell 5 untouched";
  WaitForLogLines(2);
  EXPECT_NE(LogLines().at(0).find("ending=no-reply address=5"), std::string::npos);

  Start({"--silent-command"});
  EXPECT_EQ(Command(0x20), -1);
  EXPECT_EQ(Stop(), 0);

  unlink(chip_.c_str());
  Start({"--fail-write-at", "3", "--command-reply", "AA"});
  EXPECT_EQ(Command(0x20), 0xAA);
  EXPECT_EQ(host_->Read(1000), 0xFF);
  Reopen();
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_EQ(Write(0x21, {1, 2, 3, 4, 5}), 3);
  EXPECT_EQ(Stop(), 0);
  EXPECT_EQ(ChipFile().substr(0, 5), std::string("\x01\x02\x03\xFF\xFF", 5));
  EXPECT_NE(LogLines().back().find("ending=bad-cell address=3"), std::string::npos)
      << LogLines().back();
}

TEST_F(RomsimPty, LinkFollowsTheSlaveAndGoesAtTheEnd) {
  const std::string link = dir_ + "/com1";
  Start({"--link", link});
  char target[256] = {};
  ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(std::string(target), sim_->slave());
  std::string error;
  auto viaLink = HostLine::Open(link, error);
  ASSERT_NE(viaLink, nullptr) << error;
  viaLink->Send(0x20);
  EXPECT_EQ(viaLink->Read(1000), 0x00);
  viaLink.reset();
  EXPECT_EQ(Stop(), 0);
  struct stat st {};
  EXPECT_NE(lstat(link.c_str(), &st), 0) << "link removed";

  const std::string file = dir_ + "/file";
  std::ofstream(file) << "keep me";
  std::string output;
  EXPECT_EQ(RunToEnd(ROMSIM_BINARY, {"--link", file}, output), 1);
  std::ifstream in(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep me");
}

TEST_F(RomsimPty, StoppingMidWriteSavesWhatWasProgrammedAndLogsIt) {
  Start();
  ASSERT_EQ(Command(0x81), 0x00);
  host_->Send(0x00);
  EXPECT_EQ(host_->Read(1000), kAck);
  EXPECT_EQ(Stop(SIGTERM), 0);
  EXPECT_EQ(ChipFile()[0], '\0');
  EXPECT_EQ(LogLines().back(), "command=0x81 bytes=1 acks=1 ending=stopped address=1 programmed=1");
}

TEST_F(RomsimPty, PacedLineTakesTheTimeOfTheBaudRate) {
  Start({"--pace", "9600"});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Read(0x20, 100).size(), 100u);
  const auto took = std::chrono::steady_clock::now() - start;
  // 101 bytes each way at 10 bits per byte.
  EXPECT_GE(took, std::chrono::microseconds(202 * 10 * 1000000LL / 9600));
}

TEST_F(RomsimPty, BadStartsEndWithAStatusAndAMessage) {
  std::string output;
  EXPECT_EQ(RunToEnd(ROMSIM_BINARY, {"--help"}, output), 0);
  EXPECT_NE(output.find("--silent-from"), std::string::npos);
  output.clear();
  EXPECT_EQ(RunToEnd(ROMSIM_BINARY, {"--pace", "slow"}, output), 2);
  EXPECT_NE(output.find("--pace"), std::string::npos);
  { std::ofstream(chip_, std::ios::binary) << std::string(100, 'x'); }
  output.clear();
  EXPECT_EQ(RunToEnd(ROMSIM_BINARY, {"--chip", chip_}, output), 1);
  EXPECT_NE(output.find("32768"), std::string::npos) << output;
  EXPECT_EQ(ChipFile(), std::string(100, 'x'));
}

TEST_F(RomsimPty, ServesARealLineGivenAsDevice) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string line = ptsname(master);
  std::string error;
  sim_ = RomsimProcess::Start(ROMSIM_BINARY, {"--device", line, "--chip", chip_}, error);
  ASSERT_NE(sim_, nullptr) << error;
  EXPECT_EQ(sim_->slave(), line);
  HostLine host{UniqueFd(master)};
  ASSERT_TRUE(SetRawLine(master));
  host.Send(0x20);
  EXPECT_EQ(host.Read(1000), 0x00);
  EXPECT_EQ(host.Read(1000), 0xFF);
  EXPECT_EQ(sim_->Stop(), 0);

  std::string output;
  EXPECT_EQ(RunToEnd(ROMSIM_BINARY, {"--device", line, "--rts-line", "cts"}, output), 1);
  EXPECT_NE(output.find("modem lines"), std::string::npos) << output;

  // A file opens as well, and what romsim sends would land in it.
  { std::ofstream(chip_, std::ios::binary) << std::string(100, 'x'); }
  for (const std::string& notLine : {chip_, std::string("/dev/null")}) {
    output.clear();
    EXPECT_EQ(RunToEnd(ROMSIM_BINARY, {"--device", notLine}, output), 1);
    EXPECT_NE(output.find(notLine + " is not a serial port"), std::string::npos) << output;
  }
  EXPECT_EQ(ChipFile(), std::string(100, 'x'));
}

}  // namespace
}  // namespace romprog::sim
