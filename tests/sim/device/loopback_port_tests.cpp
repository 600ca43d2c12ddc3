// The in-process ports: which names open, the virtual clock, and what they
// count of the host's doings.
#include <gtest/gtest.h>

#include "sim/device/loopback_port.h"

namespace romprog::sim {
namespace {

// Raises RTS, waits the pause a host must, sends `command` and returns the reply.
int StartExchange(LoopbackPorts& ports, SerialPort& port, std::uint8_t command) {
  port.SetRts(true);
  ports.Pause(10);
  EXPECT_TRUE(port.SendByte(command).ok());
  std::uint8_t reply = 0;
  return port.ReadByte(reply, 1000).ok() ? reply : -1;
}

TEST(LoopbackPorts, OnlyTheWiredNamesOpenAndOnlyOneAtATime) {
  LoopbackPorts ports({"COM3", "COM10"});
  EXPECT_EQ(ports.Open(ProgrammerLine("COM1")).port, nullptr);
  EXPECT_EQ(ports.Open(ProgrammerLine("COM")).port, nullptr);
  EXPECT_EQ(ports.Open(ProgrammerLine("COM1")).port, nullptr);
  {
    auto port = ports.Open(ProgrammerLine("COM10")).port;
    ASSERT_NE(port, nullptr);
    EXPECT_TRUE(ports.portOpen());
    EXPECT_EQ(ports.Open(ProgrammerLine("COM3")).port, nullptr) << "the line is taken";
  }
  EXPECT_FALSE(ports.portOpen());
  EXPECT_NE(ports.Open(ProgrammerLine("COM3")).port, nullptr);
  ports.SetHeldByOther("COM3", true);
  EXPECT_EQ(ports.Open(ProgrammerLine("COM3")).port, nullptr);
  ports.SetHeldByOther("COM3", false);
  EXPECT_NE(ports.Open(ProgrammerLine("COM3")).port, nullptr);
  EXPECT_EQ(ports.counters().opens, 3);
  EXPECT_EQ(ports.counters().closes, 3);
  EXPECT_EQ(ports.counters().failedOpens, 5);
  EXPECT_EQ(ports.openedSettings(),
            (std::vector<std::string>{"COM10:9600,N,8,1", "COM3:9600,N,8,1", "COM3:9600,N,8,1"}));
}

TEST(LoopbackPorts, WholeReadCountsEveryByteAndRtsChange) {
  DeviceModel device;
  device.chip()[5] = 0x42;
  LoopbackPorts ports({"COM1"}, device);
  auto port = ports.Open(ProgrammerLine("COM1")).port;
  port->SetRts(false);
  ASSERT_EQ(StartExchange(ports, *port, 0x20), 0x00);
  std::vector<std::uint8_t> data;
  std::uint8_t b = 0;
  while (port->ReadByte(b, 1000).ok()) {
    data.push_back(b);
    if (data.size() < 8192) port->SendByte(kAcknowledge);
  }
  port->SendByte(kAcknowledge);
  port->SetRts(false);
  ASSERT_EQ(data.size(), 8192u);
  EXPECT_EQ(data[5], 0x42);
  EXPECT_EQ(data[6], 0xFF);
  const LoopbackCounters& c = ports.counters();
  EXPECT_EQ(c.bytesToDevice, 1 + 8192);
  EXPECT_EQ(c.bytesFromDevice, 1 + 8192);
  EXPECT_EQ(c.rtsRaises, 1);
  EXPECT_EQ(c.rtsLowers, 1);
  EXPECT_EQ(c.rtsChanges, 2) << "lowering a low line is no change";
  EXPECT_EQ(c.lastCommandDelayMs, 10);
  EXPECT_EQ(c.bytesWhileRtsLow, 0);
  EXPECT_EQ(ports.device().exchanges().at(0).ending, "complete");
  EXPECT_EQ(ports.elapsedMs(), 10u + 1000u) << "the pause and the one failed wait";
}

TEST(LoopbackPorts, VirtualClockAdvancesByPausesAndEmptyWaitsAndWraps) {
  LoopbackPorts ports({"COM1"});
  ports.SetTickCount(0xFFFFFFF0u);
  EXPECT_EQ(ports.TickCount(), 0xFFFFFFF0u);
  ports.Pause(6);
  EXPECT_EQ(ports.TickCount(), 0xFFFFFFF6u);
  auto port = ports.Open(ProgrammerLine("COM1")).port;
  std::uint8_t b = 0;
  EXPECT_FALSE(port->ReadByte(b, 26).ok());
  EXPECT_EQ(ports.TickCount(), 0x10u);
  // A host polling with no wait at all still sees time pass.
  const std::uint32_t start = ports.TickCount();
  int polls = 0;
  while (ports.TickCount() - start < 1000 && polls < 5000) {
    port->ReadByte(b, 0);
    ++polls;
  }
  EXPECT_EQ(polls, 1000);
}

TEST(LoopbackPorts, ReplyDelayMakesABytePendingUntilItsTime) {
  LoopbackPorts ports({"COM1"});
  ports.SetReplyDelay(1500);
  auto port = ports.Open(ProgrammerLine("COM1")).port;
  port->SetRts(true);
  ports.Pause(10);
  port->SendByte(0x20);
  std::uint8_t b = 0;
  EXPECT_FALSE(port->ReadByte(b, 1000).ok());
  EXPECT_EQ(ports.pendingReplies(), 2u);
  EXPECT_TRUE(port->ReadByte(b, 1000).ok());
  EXPECT_EQ(ports.elapsedMs(), 1510u) << "taken when it arrived, not at the end of the wait";
  EXPECT_TRUE(port->ReadByte(b, 0).ok()) << "byte 0 came with the reply";
  EXPECT_EQ(b, 0xFF);
}

TEST(LoopbackPorts, CommandTooSoonAfterRtsIsMissed) {
  LoopbackPorts ports({"COM1"});
  auto port = ports.Open(ProgrammerLine("COM1")).port;
  port->SetRts(true);
  ports.Pause(9);
  port->SendByte(0x20);
  std::uint8_t b = 0;
  EXPECT_FALSE(port->ReadByte(b, 1000).ok());
  EXPECT_EQ(ports.counters().earlyCommands, 1);
  EXPECT_EQ(ports.counters().lastCommandDelayMs, 9);
  EXPECT_TRUE(ports.device().exchanges().empty());
  port->SetRts(false);
  EXPECT_EQ(StartExchange(ports, *port, 0x21), 0x00);
  EXPECT_EQ(ports.counters().earlyCommands, 1);

  ports.SetMinCommandDelay(0);
  port->SetRts(false);
  port->SetRts(true);
  port->SendByte(0x20);
  EXPECT_TRUE(port->ReadByte(b, 1000).ok());
}

// A tty keeps what came in for the next open: only a discard empties it.
TEST(LoopbackPorts, ClosingDropsRtsAndKeepsUnreadAnswersUntilDiscarded) {
  LoopbackPorts ports({"COM1"});
  {
    auto port = ports.Open(ProgrammerLine("COM1")).port;
    ASSERT_EQ(StartExchange(ports, *port, 0x20), 0x00);
    EXPECT_EQ(ports.pendingReplies(), 1u) << "byte 0 unread";
  }
  EXPECT_EQ(ports.counters().closesWithRtsHigh, 1);
  EXPECT_FALSE(ports.rts());
  EXPECT_EQ(ports.pendingReplies(), 1u) << "left over from the old port";
  EXPECT_EQ(ports.device().exchanges().at(0).ending, "rts-low");
  auto port = ports.Open(ProgrammerLine("COM1")).port;
  EXPECT_TRUE(port->DiscardInput().ok());
  EXPECT_EQ(ports.pendingReplies(), 0u);
  std::uint8_t b = 0;
  EXPECT_FALSE(port->ReadByte(b, 1000).ok()) << "nothing left over after the discard";
}

// A byte still on its way when the queue is emptied arrives after it.
TEST(LoopbackPorts, ADiscardKeepsTheBytesNotYetArrived) {
  LoopbackPorts ports({"COM1"});
  ports.SetReplyDelay(50);
  auto port = ports.Open(ProgrammerLine("COM1")).port;
  port->SetRts(true);
  ports.Pause(10);
  port->SendByte(0x20);
  EXPECT_TRUE(port->DiscardInput().ok());
  EXPECT_EQ(ports.pendingReplies(), 2u);
  ports.Pause(60);
  EXPECT_TRUE(port->DiscardInput().ok());
  EXPECT_EQ(ports.pendingReplies(), 0u);
  port->SetRts(false);
}

TEST(LoopbackPorts, BytesWithRtsLowAndFailingWritesNeverReachTheDevice) {
  LoopbackPorts ports({"COM1"});
  auto port = ports.Open(ProgrammerLine("COM1")).port;
  port->SetRts(false);
  EXPECT_TRUE(port->SendByte(0x20).ok());
  EXPECT_EQ(ports.counters().bytesWhileRtsLow, 1);
  EXPECT_EQ(ports.device().ignoredBytes(), 1);
  ports.SetSendFails(true);
  port->SetRts(true);
  ports.Pause(10);
  EXPECT_FALSE(port->SendByte(0x20).ok());
  std::uint8_t b = 0;
  EXPECT_FALSE(port->ReadByte(b, 1000).ok());
  EXPECT_EQ(ports.counters().bytesToDevice, 2);
  EXPECT_TRUE(ports.device().exchanges().empty());
}

}  // namespace
}  // namespace romprog::sim
