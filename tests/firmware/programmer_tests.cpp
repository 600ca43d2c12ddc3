// romtool against the programmer's firmware on the simulated board
// (romboard): each chip type blank-checked, written, read and verified; a
// cell that never programs; a write stopped with Ctrl-C; the host's RTS
// framing the exchanges. The board's chip is as strict as a real one, so a
// firmware that times its pulses wrong, skips a verify or answers wrong
// fails here.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <regex>
#include <thread>

#include "sim/host/romsim_client.h"
#include "sim/modem_lines.h"
#include "tests/support/cli_test_support.h"

namespace romprog::testing {
namespace {

using romtool::testing::RandomBytes;

// The test's own simulated time runs this many times the wall clock: the
// exchanges are framed by RTS, so the firmware's silence never comes in.
constexpr const char* kSpeed = "50";

struct Outcome {
  int code = -1;
  std::string output;
};

#define EXPECT_SAYS(run, text)                                                          \
  EXPECT_NE((run).output.find(text), std::string::npos) << "wanted: " << (text) << "\n" \
                                                        << (run).output

// Raises or lowers the host's RTS on the board serving `slave`, as the
// modem-lines library does for a host.
bool SetRts(const std::string& slave, bool high) {
  struct stat st {};
  if (stat(slave.c_str(), &st) != 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const int length = ModemLinesAddress(st.st_rdev, address.sun_path, sizeof address.sun_path);
  sim::UniqueFd ask(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const ModemRequest request{static_cast<std::uint32_t>(high ? kModemRaise : kModemLower),
                             TIOCM_RTS};
  ModemReply reply{};
  return ask.valid() &&
         connect(ask.get(), reinterpret_cast<sockaddr*>(&address),
                 static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length)) == 0 &&
         write(ask.get(), &request, sizeof request) == sizeof request &&
         read(ask.get(), &reply, sizeof reply) == sizeof reply;
}

struct BoardTest : ::testing::Test {
  TempDir dir;
  std::unique_ptr<sim::RomsimProcess> board;
  std::string port;

  void SetUp() override {
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    setenv("LD_PRELOAD", ROMSIM_LINES64, 1);
  }
  void TearDown() override {
    if (board) board->Stop();
  }
  void Start(const std::string& socket, std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--chip",   dir / "chip.bin", "--log",   dir / "board.log",
                                  "--socket", socket,           "--speed", kSpeed};
    args.insert(args.end(), extra.begin(), extra.end());
    std::string error;
    board = sim::RomsimProcess::Start(ROMBOARD_BINARY, args, error);
    ASSERT_TRUE(board) << error;
    port = board->slave();
  }
  // Stops the board: its chip file and its figures are then complete.
  std::string StopBoard() {
    EXPECT_EQ(board->Stop(), 0);
    board.reset();
    return ReadWhole(dir / "board.log");
  }
  Outcome Romtool(std::vector<std::string> args) {
    Outcome run;
    run.code = sim::RunToEnd(ROMTOOL_BINARY, args, run.output);
    return run;
  }
  Outcome OnChip(const std::string& command, const std::string& chip,
                 std::vector<std::string> more = {}) {
    std::vector<std::string> args{command, "-p", port, "-c", chip, "-q"};
    args.insert(args.end(), more.begin(), more.end());
    return Romtool(args);
  }
  // romtool with `args`, sent SIGINT after `ms`.
  Outcome Interrupt(std::vector<std::string> args, int ms) {
    args.insert(args.begin(), ROMTOOL_BINARY);
    const std::string said = dir / "said.txt";
    const pid_t pid = fork();
    if (pid == 0) {
      const int err = open(said.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int null = open("/dev/null", O_WRONLY);
      if (err < 0 || null < 0 || dup2(err, 2) < 0 || dup2(null, 1) < 0) _exit(127);
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(ROMTOOL_BINARY, argv.data());
      _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWhole(said)};
  }
  static long Figure(const std::string& log, const std::string& name) {
    std::smatch m;
    if (!std::regex_search(log, m, std::regex(" " + name + "=([0-9]+)"))) return -1;
    return std::stol(m[1]);
  }
  // The chip was driven as its datasheet asks: every pulse in time, VCC up
  // before VPP, never the chip and the AVR on the data lines at once.
  static void ExpectCleanDriving(const std::string& log) {
    EXPECT_EQ(Figure(log, "void_pulses"), 0) << log;
    EXPECT_EQ(Figure(log, "sequence_faults"), 0) << log;
    EXPECT_EQ(Figure(log, "contention"), 0) << log;
  }
};

TEST_F(BoardTest, EachChipTypeBlankWriteReadVerify) {
  const struct {
    const char* chip;
    int size;
  } chips[] = {{"27C64", 8192}, {"27C128", 16384}, {"27C256", 32768}};
  for (const auto& c : chips) {
    SCOPED_TRACE(c.chip);
    std::filesystem::remove(dir / "board.log");
    // Cells take 1 to 4 pulses: the firmware must verify after each.
    Start(c.chip, {"--erase", "--max-pulses", "4", "--seed", std::to_string(c.size)});
    const std::string image = RandomBytes(c.size, static_cast<unsigned>(c.size));
    WriteWhole(dir / "image.bin", image);

    const Outcome blank = OnChip("blank", c.chip);
    EXPECT_EQ(blank.code, 0) << blank.output;
    const Outcome written =
        OnChip("write", c.chip, {"--no-precheck", "--no-verify", dir / "image.bin"});
    ASSERT_EQ(written.code, 0) << written.output;
    const Outcome read = OnChip("read", c.chip, {dir / "back.bin"});
    ASSERT_EQ(read.code, 0) << read.output;
    EXPECT_TRUE(ReadWhole(dir / "back.bin") == image);
    const Outcome verify = OnChip("verify", c.chip, {dir / "image.bin"});
    EXPECT_EQ(verify.code, 0) << verify.output;
    const Outcome notBlank = OnChip("blank", c.chip);
    EXPECT_EQ(notBlank.code, 1) << notBlank.output;

    const std::string log = StopBoard();
    EXPECT_EQ(ReadWhole(dir / "chip.bin").substr(0, c.size), image);
    EXPECT_EQ(ReadWhole(dir / "chip.bin").substr(c.size), std::string(32768 - c.size, '\xFF'));
    ExpectCleanDriving(log);
    EXPECT_GT(Figure(log, "pulses"), c.size) << "some cells needed more than one pulse";
  }
}

TEST_F(BoardTest, ACellThatNeverProgramsIsNamed) {
  Start("27C64", {"--erase", "--dead-cells", "100"});
  const std::string image(8192, '\x00');
  WriteWhole(dir / "image.bin", image);
  const Outcome run = OnChip("write", "27C64", {"--no-precheck", dir / "image.bin"});
  EXPECT_EQ(run.code, 1) << run.output;
  EXPECT_SAYS(run,
              "cell 0x0064 (100) was not programmed with 0x00: the programmer answered 0x00, "
              "expected 0xAA");
  EXPECT_SAYS(run, "holds cells 0x0000 (0) to 0x0063 (99) of " + dir / "image.bin");
  const std::string log = StopBoard();
  const std::string chip = ReadWhole(dir / "chip.bin");
  EXPECT_EQ(chip.substr(0, 100), image.substr(0, 100));
  EXPECT_EQ(chip.substr(100), std::string(32768 - 100, '\xFF'));
  // All its pulses spent on the dead cell, and not one more.
  EXPECT_EQ(Figure(log, "pulses"), 100 + 25) << log;
  ExpectCleanDriving(log);
}

TEST_F(BoardTest, AWriteStoppedWithCtrlCHoldsWhatItSaysAndTheNextReadIsInStep) {
  Start("27C64", {"--erase", "--speed", "20", "--max-pulses", "4"});
  const std::string image = RandomBytes(8192, 5);
  WriteWhole(dir / "image.bin", image);
  const Outcome stopped =
      Interrupt({"write", "-p", port, "-c", "27C64", "--no-precheck", dir / "image.bin"}, 1500);
  EXPECT_EQ(stopped.code, 130) << stopped.output;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(
      stopped.output, m, std::regex(R"(holds cells 0x0000 \(0\) to 0x[0-9A-F]+ \(([0-9]+)\))")))
      << stopped.output;
  const int held = std::stoi(m[1]) + 1;
  ASSERT_GT(held, 0);
  ASSERT_LT(held, 8192);
  // Straight after, with no pause: the firmware took RTS low as the end.
  const Outcome read = OnChip("read", "27C64", {dir / "back.bin"});
  ASSERT_EQ(read.code, 0) << read.output;
  const std::string back = ReadWhole(dir / "back.bin");
  EXPECT_EQ(back.substr(0, held), image.substr(0, held));
  EXPECT_EQ(back.substr(held), std::string(8192 - held, '\xFF'));
  ExpectCleanDriving(StopBoard());
}

// The host's RTS frames the exchanges once the firmware has seen it: a
// command byte sent while RTS is low gets no answer, and lowering RTS ends
// a read at once, so the next command is answered from cell 0.
TEST_F(BoardTest, RtsFramesTheExchanges) {
  Start("27C64", {"--erase"});
  std::string error;
  auto host = sim::HostLine::Open(port, error);
  ASSERT_TRUE(host) << error;
  ASSERT_TRUE(SetRts(port, true));
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(host->Send(0x20));
  EXPECT_EQ(host->Read(1000), 0x20) << "the command's reply";
  EXPECT_EQ(host->Read(1000), 0xFF) << "cell 0";
  ASSERT_TRUE(host->Send(0xAA));
  EXPECT_EQ(host->Read(1000), 0xFF) << "cell 1";
  ASSERT_TRUE(SetRts(port, false));  // the host gives up at cell 1

  ASSERT_TRUE(host->Send(0x20));  // RTS low: not a command
  EXPECT_EQ(host->Read(300), -1) << "answered a command sent with RTS low";

  ASSERT_TRUE(SetRts(port, true));
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(host->Send(0x21));
  EXPECT_EQ(host->Read(1000), 0x21);
  ASSERT_TRUE(host->Send(0x3C));
  EXPECT_EQ(host->Read(1000), 0xAA) << "cell 0 programmed";
  ASSERT_TRUE(SetRts(port, false));
  host.reset();
  StopBoard();
  EXPECT_EQ(ReadWhole(dir / "chip.bin").substr(0, 2), std::string("\x3C\xFF", 2));
}

// Without RTS (a host without the modem-lines library) the host's silence
// ends an exchange: a write left after three cells is over once the line
// has been quiet, so the next byte is a command and not a cell's value;
// and a command byte where an acknowledge was due starts that command.
TEST_F(BoardTest, WithoutRtsSilenceEndsTheExchanges) {
  Start("27C64", {"--erase", "--speed", "1"});
  std::string error;
  auto host = sim::HostLine::Open(port, error);
  ASSERT_TRUE(host) << error;
  ASSERT_TRUE(host->Send(0x21));
  EXPECT_EQ(host->Read(1000), 0x21);
  for (int value : {0xFF, 0xFF, 0x00}) {
    ASSERT_TRUE(host->Send(static_cast<std::uint8_t>(value)));
    EXPECT_EQ(host->Read(1000), 0xAA);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  ASSERT_TRUE(host->Send(0x20));
  EXPECT_EQ(host->Read(1000), 0x20) << "taken for cell 3's value";
  for (int cell : {0xFF, 0xFF, 0x00}) {
    EXPECT_EQ(host->Read(1000), cell);
    ASSERT_TRUE(host->Send(0xAA));
  }
  EXPECT_EQ(host->Read(1000), 0xFF) << "cell 3";
  ASSERT_TRUE(host->Send(0x20));  // the host turned cell 3 down and starts again
  EXPECT_EQ(host->Read(1000), 0x20);
  EXPECT_EQ(host->Read(1000), 0xFF) << "cell 0 again";
  host.reset();
  const std::string log = StopBoard();
  EXPECT_EQ(ReadWhole(dir / "chip.bin").substr(0, 4), std::string("\xFF\xFF\x00\xFF", 4));
  ExpectCleanDriving(log);
}

}  // namespace
}  // namespace romprog::testing
