// The POSIX serial port against the programmer emulator on a pseudo-terminal:
// the line settings, exclusive use, time-outs, and whole chip commands with
// the real protocol code over the real line.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "core/protocol/line_settings.h"
#include "gui/chip_commands.h"
#include "gui/win_constants.h"
#include "platform/posix/posix_serial_port.h"
#include "platform/system_serial_ports.h"
#include "sim/host/romsim_client.h"
#include "tests/gui/test_app.h"

namespace romprog::testing {
namespace {

using Steady = std::chrono::steady_clock;

// The machine's ports as the program sees them: "COM1" is the emulator's pty.
class PtyPorts : public PortOpener, public posix::SteadyClock {
 public:
  std::string com1;
  OpenedPort Open(const LineSettings& settings) override {
    if (settings.device != "COM1") return {nullptr, {PortStatus::NoDevice, {}}};
    LineSettings pty = settings;
    pty.device = com1;
    return posix::OpenSerialPort(pty);
  }
};

struct PosixPortTest : ::testing::Test {
  std::string chipFile;
  std::unique_ptr<sim::RomsimProcess> romsim;
  PtyPorts ports;

  void Start(std::vector<std::string> extra = {}) {
    char name[] = "/tmp/romprog-posix-chip-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    std::remove(name);  // romsim creates it blank
    chipFile = name;
    std::vector<std::string> args{"--chip", chipFile, "--silence-ms", "100"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::string error;
    romsim = sim::RomsimProcess::Start(ROMSIM_BINARY, args, error);
    ASSERT_TRUE(romsim) << error;
    ports.com1 = romsim->slave();
  }
  void TearDown() override {
    if (romsim) romsim->Stop();
    if (!chipFile.empty()) std::remove(chipFile.c_str());
  }
  // Lets the emulator see the end of an exchange that ended without RTS.
  void QuietLine() { usleep(150 * 1000); }
};

TEST_F(PosixPortTest, OpensRawAt9600WithoutFlowControl) {
  Start();
  auto port = posix::OpenSerialPort(ProgrammerLine(ports.com1)).port;
  ASSERT_TRUE(port);
  // A second look at the same line through its own descriptor.
  const int fd = open(ports.com1.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  termios line{};
  ASSERT_EQ(tcgetattr(fd, &line), 0);
  close(fd);
  EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B9600));
  EXPECT_EQ(cfgetispeed(&line), static_cast<speed_t>(B9600));
  EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL | INLCR | ISTRIP), 0u);
  EXPECT_EQ(line.c_oflag & OPOST, 0u);
  EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
}

TEST_F(PosixPortTest, OneUserAtATimeAndOnlyDevicePaths) {
  Start();
  auto first = posix::OpenSerialPort(ProgrammerLine(ports.com1)).port;
  ASSERT_TRUE(first);
  const OpenedPort second = posix::OpenSerialPort(ProgrammerLine(ports.com1));
  EXPECT_FALSE(second.port);
  EXPECT_EQ(second.result.status, PortStatus::Busy);
  first.reset();
  EXPECT_TRUE(posix::OpenSerialPort(ProgrammerLine(ports.com1)).port);
  EXPECT_EQ(posix::OpenSerialPort(ProgrammerLine("COM1")).result.status, PortStatus::NoDevice);
  EXPECT_FALSE(posix::OpenSerialPort(ProgrammerLine("")).port);
  const OpenedPort missing = posix::OpenSerialPort(ProgrammerLine("/dev/romprog-no-such-port"));
  EXPECT_EQ(missing.result.status, PortStatus::NoDevice);
  EXPECT_FALSE(missing.result.message.empty());
  // The system's ports on POSIX know no COM names: the probe finds none.
  EXPECT_FALSE(MakeSystemPortOpener()->Open(ProgrammerLine("COM1")).port);
}

TEST_F(PosixPortTest, ReadWaitsItsTimeOutButNoLongerThanASlice) {
  Start();
  auto port = posix::OpenSerialPort(ProgrammerLine(ports.com1)).port;
  ASSERT_TRUE(port);
  std::uint8_t byte = 0;
  auto start = Steady::now();
  EXPECT_EQ(port->ReadByte(byte, 40).status, PortStatus::TimedOut);
  auto waited = Steady::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(39));
  EXPECT_LT(waited, std::chrono::milliseconds(100));
  start = Steady::now();
  EXPECT_EQ(port->ReadByte(byte, 1000).status, PortStatus::TimedOut);
  waited = Steady::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(kReadSliceMs - 1));
  EXPECT_LT(waited, std::chrono::milliseconds(kReadSliceMs + 60));
}

TEST_F(PosixPortTest, ClockAndPause) {
  posix::SteadyClock system;
  const std::uint32_t before = system.TickCount();
  const auto start = Steady::now();
  system.Pause(25);
  EXPECT_GE(Steady::now() - start, std::chrono::milliseconds(25));
  EXPECT_GE(system.TickCount() - before, 24u);
}

TEST_F(PosixPortTest, WriteReadBackAndCompareEveryByteValue) {
  Start();
  TestApp t{&ports};
  t.Start();
  ASSERT_EQ(t.ui.CountItems(id::kPortSelector), 1);
  // Every value, the line-discipline ones (CR, LF, XON, XOFF, ^C) included.
  for (int a = 0; a < 8192; ++a) t.buffer()[a] = static_cast<std::uint8_t>(a * 31 + (a >> 8));
  const auto written = t.app.state.imageBuffer;
  t.ui.boxAnswers = {win::kIdYes};
  t.Click(id::kWriteChip);
  ASSERT_EQ(t.ui.boxes.size(), 2u);
  EXPECT_EQ(t.ui.boxes[1].text, "OK !!!");

  t.app.state.imageBuffer.fill(0x00);
  t.ui.boxes.clear();
  t.Click(id::kReadChip);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_EQ(t.ui.boxes[0].text, "OK !!!");
  EXPECT_TRUE(std::equal(written.begin(), written.begin() + 8192, t.buffer()));

  t.ui.boxes.clear();
  t.Click(id::kCompareChip);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_EQ(t.ui.boxes[0].text, "OK !!!");

  // What the emulator keeps of the chip is what was written.
  std::ifstream chip(chipFile, std::ios::binary);
  std::vector<char> kept(8192);
  chip.read(kept.data(), 8192);
  EXPECT_TRUE(std::equal(kept.begin(), kept.end(), written.begin(),
                         [](char k, std::uint8_t w) { return static_cast<std::uint8_t>(k) == w; }));
}

TEST_F(PosixPortTest, BlankCheckThenAFaultOnTheRealLine) {
  Start({"--silent-from", "100"});
  TestApp t{&ports};
  t.Start();
  t.SelectChip(1);
  t.Click(id::kBlankCheck);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_EQ(t.ui.boxes[0].text, Cp1251("Нет ответа от программатора."));
  EXPECT_EQ(t.ui.GetText(id::kStatusAddress), "99");
  EXPECT_EQ(t.ui.GetText(id::kStatusValue), "255");
}

TEST_F(PosixPortTest, NoReplyTakesASecondOfRealTime) {
  Start({"--silent-command"});
  TestApp t{&ports};
  t.Start();
  std::chrono::steady_clock::duration shownAfter{};
  const auto start = Steady::now();
  t.ui.onBox = [&](const ShownBox&) { shownAfter = Steady::now() - start; };
  t.Click(id::kReadChip);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_EQ(t.ui.boxes[0].text, Cp1251("Нет ответа от программатора."));
  EXPECT_GE(shownAfter, std::chrono::milliseconds(1000));
  EXPECT_LT(shownAfter, std::chrono::milliseconds(1150));
}

TEST_F(PosixPortTest, FailedWriteAndMismatchOnTheRealLine) {
  Start({"--fail-write-at", "5"});
  TestApp t{&ports};
  t.Start();
  for (int a = 0; a < 8192; ++a) t.buffer()[a] = static_cast<std::uint8_t>(a);
  t.ui.boxAnswers = {win::kIdYes};
  t.Click(id::kWriteChip);
  ASSERT_EQ(t.ui.boxes.size(), 2u);
  EXPECT_EQ(t.ui.boxes[1].text, Cp1251("Ячейка 5 Непрограммируется."));
  QuietLine();
  t.ui.boxes.clear();
  t.Click(id::kCompareChip);  // cells 0 to 4 were programmed, 5 is still erased
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_EQ(t.ui.boxes[0].text, Cp1251("Ячейка 5 содержит 255  (надо 5)."));
}

}  // namespace
}  // namespace romprog::testing
