// The shared protocol core over the in-process device model: framing, the
// command byte, the endings and what they report.
#include <gtest/gtest.h>

#include <vector>

#include "core/protocol/chip_link.h"
#include "sim/device/loopback_port.h"
#include "tests/support/cli_test_support.h"

namespace romtool::testing {
namespace {

using romprog::ChipSelection;
using romprog::Direction;
using romprog::Ending;
using romprog::LinkResult;
using romprog::sim::DeviceModel;
using romprog::sim::DeviceOptions;
using romprog::sim::LoopbackPorts;

constexpr ChipSelection k27C64{0x20, 8192};
constexpr ChipSelection k27C256{0x80, 32768};

struct Recorder : romprog::LinkObserver {
  std::vector<std::uint8_t> passed;
  int rejectAt = -1;
  int rejected = -1;
  int noReplies = 0;
  bool Accept(int address, std::uint8_t) override { return address != rejectAt; }
  void Passed(int address, std::uint8_t value) override {
    EXPECT_EQ(address, static_cast<int>(passed.size()));
    passed.push_back(value);
  }
  void Rejected(int address, std::uint8_t) override { rejected = address; }
  void NoReply() override { ++noReplies; }
};

struct StopAt : Recorder {
  bool GoOn() override { return passed.size() < 100; }
};

std::array<std::uint8_t, romprog::sim::kChipCapacity> ChipOf(const std::string& bytes) {
  std::array<std::uint8_t, romprog::sim::kChipCapacity> chip{};
  std::copy(bytes.begin(), bytes.end(), chip.begin());
  return chip;
}

struct Link {
  LoopbackPorts ports;
  std::unique_ptr<romprog::SerialPort> port;
  explicit Link(DeviceModel device) : ports({"P"}, std::move(device)) {
    port = ports.Open(romprog::ProgrammerLine("P")).port;
  }
  ~Link() { port.reset(); }
  LinkResult Run(Recorder& r, Direction d, ChipSelection chip,
                 const std::uint8_t* image = nullptr) {
    return romprog::RunExchange(*port, ports, r, d, chip, image);
  }
};

TEST(ChipLink, CommandByteIsTheChipCodeWithBitZeroForWriting) {
  EXPECT_EQ(romprog::CommandByte(0x20, Direction::Reading), 0x20);
  EXPECT_EQ(romprog::CommandByte(0x20, Direction::Writing), 0x21);
  EXPECT_EQ(romprog::CommandByte(0x80, Direction::Writing), 0x81);
}

TEST(ChipLink, AnObserverThatStopsEndsBetweenCellsWithRtsLowered) {
  Link link{DeviceModel()};
  StopAt r;
  const LinkResult result = link.Run(r, Direction::Reading, k27C64);
  EXPECT_EQ(result.ending, Ending::Stopped);
  EXPECT_EQ(result.address, 100) << "the first cell not taken";
  EXPECT_EQ(r.passed.size(), 100u);
  EXPECT_EQ(link.ports.counters().rtsLowers, 1);
  EXPECT_FALSE(link.ports.rts());
}

// The byte of the cell in hand is on the line when the stop comes: the chip
// programs it, and the stop is reported after it.
TEST(ChipLink, AStoppedWriteCountsTheCellAlreadySent) {
  const std::string image(8192, '\x00');
  Link link{DeviceModel()};
  StopAt r;
  const LinkResult result = link.Run(r, Direction::Writing, k27C64, Bytes(image));
  EXPECT_EQ(result.ending, Ending::Stopped);
  EXPECT_EQ(result.address, 101) << "cells 0 to 100 are written";
  EXPECT_EQ(r.passed.size(), 101u);
  const auto& chip = link.ports.device().chip();
  EXPECT_EQ(chip[100], 0x00);
  EXPECT_EQ(chip[101], 0xFF);
  EXPECT_EQ(link.ports.counters().bytesToDevice, 1 + 101) << "nothing sent after the stop";
  EXPECT_FALSE(link.ports.rts());

  // Failed or unanswered, the cell in hand is the first one not written.
  for (DeviceOptions options : {DeviceOptions{-1, 0, 100}, DeviceOptions{100}}) {
    Link failing{DeviceModel(ChipOf(std::string(32768, '\xFF')), options)};
    StopAt f;
    const LinkResult stopped = failing.Run(f, Direction::Writing, k27C64, Bytes(image));
    EXPECT_EQ(stopped.ending, Ending::Stopped);
    EXPECT_EQ(stopped.address, 100);
    EXPECT_EQ(f.passed.size(), 100u);
  }

  // A stop at the last cell, acknowledged, leaves the whole chip written.
  struct StopAtLast : Recorder {
    bool GoOn() override { return passed.size() < 8191; }
  } last;
  Link whole{DeviceModel()};
  const LinkResult complete = whole.Run(last, Direction::Writing, k27C64, Bytes(image));
  EXPECT_EQ(complete.ending, Ending::Complete);
  EXPECT_EQ(last.passed.size(), 8192u);
}

// The stop leaves the next cell's byte unread in the line's queue; taken for
// the next command's reply it would shift every cell by one.
TEST(ChipLink, AByteLeftByAStoppedReadIsNotTakenByTheNext) {
  const std::string content = RandomBytes(32768, 13);
  Link link{DeviceModel(ChipOf(content))};
  StopAt stopped;
  EXPECT_EQ(link.Run(stopped, Direction::Reading, k27C64).ending, Ending::Stopped);
  link.port.reset();
  ASSERT_EQ(link.ports.pendingReplies(), 1u);
  link.port = link.ports.Open(romprog::ProgrammerLine("P")).port;
  Recorder r;
  EXPECT_EQ(link.Run(r, Direction::Reading, k27C64).ending, Ending::Complete);
  EXPECT_EQ(std::string(r.passed.begin(), r.passed.end()), content.substr(0, 8192));
}

TEST(ChipLink, ReadPassesEveryCellInOrderInsideOneRtsFrame) {
  const std::string content = RandomBytes(32768, 11);
  Link link{DeviceModel(ChipOf(content))};
  Recorder r;
  const LinkResult result = link.Run(r, Direction::Reading, k27C256);
  EXPECT_EQ(result.ending, Ending::Complete);
  EXPECT_EQ(std::string(r.passed.begin(), r.passed.end()), content);
  const auto& c = link.ports.counters();
  EXPECT_EQ(c.rtsRaises, 1);
  EXPECT_EQ(c.rtsLowers, 1);
  EXPECT_EQ(c.earlyCommands, 0);
  EXPECT_GE(c.lastCommandDelayMs, romprog::kCommandPauseMs);
  EXPECT_EQ(c.bytesToDevice, 1 + 32768);
  EXPECT_FALSE(link.ports.rts());
  ASSERT_EQ(link.ports.device().exchanges().size(), 1u);
  EXPECT_EQ(link.ports.device().exchanges()[0].command, 0x80);
}

TEST(ChipLink, RejectedCellGetsNoAcknowledgeAndIsReported) {
  Link link{DeviceModel(ChipOf(std::string(8192, '\x5A')))};
  Recorder r;
  r.rejectAt = 300;
  const LinkResult result = link.Run(r, Direction::Reading, k27C64);
  EXPECT_EQ(result.ending, Ending::BadCell);
  EXPECT_EQ(result.address, 300);
  EXPECT_EQ(result.value, 0x5A);
  EXPECT_EQ(r.rejected, 300);
  EXPECT_EQ(r.passed.size(), 300u);
  EXPECT_EQ(link.ports.device().exchanges()[0].acknowledges, 300);
  EXPECT_FALSE(link.ports.rts());
}

TEST(ChipLink, WriteProgramsTheImageAndAFailedCellEndsIt) {
  const std::string image = RandomBytes(8192, 12);
  {
    Link link{DeviceModel()};
    Recorder r;
    const LinkResult result = link.Run(r, Direction::Writing, k27C64, Bytes(image));
    EXPECT_EQ(result.ending, Ending::Complete);
    EXPECT_EQ(
        std::string(link.ports.device().chip().begin(), link.ports.device().chip().begin() + 8192),
        image);
    EXPECT_EQ(std::string(r.passed.begin(), r.passed.end()), image);
  }
  DeviceOptions fail;
  fail.writeFailAt = 100;
  std::array<std::uint8_t, romprog::sim::kChipCapacity> blank;
  blank.fill(0xFF);
  Link link{DeviceModel(blank, fail)};
  Recorder r;
  const LinkResult result = link.Run(r, Direction::Writing, k27C64, Bytes(image));
  EXPECT_EQ(result.ending, Ending::BadCell);
  EXPECT_EQ(result.address, 100);
  EXPECT_EQ(result.value, romprog::sim::kCellFailed);
  EXPECT_EQ(r.rejected, 100);
  EXPECT_EQ(link.ports.counters().bytesToDevice, 1 + 101);
}

TEST(ChipLink, SilenceEndsTheExchangeWhereItBegan) {
  DeviceOptions silent;
  silent.silentFrom = 77;
  std::array<std::uint8_t, romprog::sim::kChipCapacity> blank;
  blank.fill(0xFF);
  {
    Link link{DeviceModel(blank, silent)};
    Recorder r;
    const LinkResult result = link.Run(r, Direction::Reading, k27C64);
    EXPECT_EQ(result.ending, Ending::NoReply);
    EXPECT_EQ(result.address, 77);
    EXPECT_EQ(r.noReplies, 1);
    EXPECT_GE(link.ports.elapsedMs(), romprog::kReplyTimeoutMs);
    EXPECT_FALSE(link.ports.rts());
  }
  DeviceOptions mute;
  mute.silentCommand = 1;
  Link link{DeviceModel(blank, mute)};
  Recorder r;
  const LinkResult result = link.Run(r, Direction::Writing, k27C64, blank.data());
  EXPECT_EQ(result.ending, Ending::NoReply);
  EXPECT_EQ(result.address, -1);
  EXPECT_TRUE(r.passed.empty());
  EXPECT_EQ(link.ports.counters().bytesToDevice, 1);
  EXPECT_EQ(link.ports.counters().rtsLowers, 1);
}

TEST(ChipLink, AFailedSendEndsTheExchangeAtOnceAndSaysWhy) {
  std::array<std::uint8_t, romprog::sim::kChipCapacity> blank;
  blank.fill(0xFF);
  Link link{DeviceModel(blank)};
  link.ports.SetSendFails(true);
  Recorder r;
  const LinkResult result = link.Run(r, Direction::Reading, k27C64);
  EXPECT_EQ(result.ending, Ending::NoReply);
  EXPECT_EQ(result.address, -1);
  EXPECT_EQ(result.line.status, romprog::PortStatus::Failed);
  EXPECT_EQ(r.noReplies, 1);
  EXPECT_LT(link.ports.elapsedMs(), romprog::kReplyTimeoutMs);
  EXPECT_FALSE(link.ports.rts());
}

TEST(ChipLink, AnyCommandReplyIsTaken) {
  for (int reply : {0x00, 0xAA, 0xFF}) {
    DeviceOptions options;
    options.commandReply = static_cast<std::uint8_t>(reply);
    std::array<std::uint8_t, romprog::sim::kChipCapacity> blank;
    blank.fill(0xFF);
    Link link{DeviceModel(blank, options)};
    Recorder r;
    EXPECT_EQ(link.Run(r, Direction::Reading, k27C64).ending, Ending::Complete) << reply;
    EXPECT_EQ(r.passed.size(), 8192u);
  }
}

}  // namespace
}  // namespace romtool::testing
