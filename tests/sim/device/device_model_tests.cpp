// The device model: what a programmer with a 27C chip does with the host's bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "sim/device/device_model.h"

namespace romprog::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Feed(DeviceModel& m, std::uint8_t byte) {
  Bytes out;
  m.Receive(byte, out);
  return out;
}

// Every cell different from its neighbours and from the erased value mostly.
std::array<std::uint8_t, kChipCapacity> Pattern() {
  std::array<std::uint8_t, kChipCapacity> chip{};
  for (int a = 0; a < kChipCapacity; ++a) chip[a] = static_cast<std::uint8_t>(a * 7 + (a >> 8));
  return chip;
}

// Runs a whole read the way the host does and returns every byte the device sent.
Bytes ReadAll(DeviceModel& m, std::uint8_t command) {
  Bytes got = Feed(m, command);
  for (int guard = 0; guard < kChipCapacity + 1; ++guard) {
    const Bytes more = Feed(m, kAcknowledge);
    if (more.empty()) break;
    got.insert(got.end(), more.begin(), more.end());
  }
  return got;
}

TEST(DeviceModelRead, EachChipSizeSendsReplyThenEveryCellInOrderAndNothingMore) {
  const auto chip = Pattern();
  for (const auto& [command, size] : {std::pair{0x20, 8192}, {0x40, 16384}, {0x80, 32768}}) {
    DeviceModel m(chip);
    const Bytes got = ReadAll(m, static_cast<std::uint8_t>(command));
    ASSERT_EQ(got.size(), static_cast<std::size_t>(size) + 1) << command;
    EXPECT_EQ(got[0], 0x00);
    EXPECT_TRUE(std::equal(chip.begin(), chip.begin() + size, got.begin() + 1)) << command;
    ASSERT_EQ(m.exchanges().size(), 1u);
    const ExchangeLog& log = m.exchanges()[0];
    EXPECT_EQ(log.command, command);
    EXPECT_EQ(log.dataBytes, size);
    EXPECT_EQ(log.acknowledges, size);
    EXPECT_EQ(log.ending, "complete");
    EXPECT_EQ(log.address, size);
    EXPECT_FALSE(m.InExchange());
    EXPECT_EQ(m.chip(), chip) << "reading changes nothing";
  }
}

TEST(DeviceModelRead, BlankChipReadsErasedAndByteZeroFollowsTheReplyAtOnce) {
  DeviceModel m;
  EXPECT_EQ(Feed(m, 0x20), (Bytes{0x00, 0xFF}));
  EXPECT_EQ(Feed(m, kAcknowledge), Bytes{0xFF});
  EXPECT_TRUE(m.InExchange());
}

TEST(DeviceModelRead, ChosenCommandReplyIsSentInsteadOfZero) {
  for (std::uint8_t reply : {0xAA, 0xFF, 0x13}) {
    DeviceModel m;
    DeviceOptions o;
    o.commandReply = reply;
    m.setOptions(o);
    EXPECT_EQ(Feed(m, 0x41), Bytes{reply});
  }
}

TEST(DeviceModelWrite, ProgramsCellsInOrderAcknowledgingEach) {
  const auto pattern = Pattern();
  DeviceModel m;
  EXPECT_EQ(Feed(m, 0x21), Bytes{0x00});
  for (int a = 0; a < 8192; ++a) ASSERT_EQ(Feed(m, pattern[a]), Bytes{kAcknowledge}) << a;
  EXPECT_EQ(Feed(m, 0x20), (Bytes{0x00, pattern[0]})) << "after the last cell comes a command";
  EXPECT_TRUE(std::equal(pattern.begin(), pattern.begin() + 8192, m.chip().begin()));
  EXPECT_EQ(m.chip()[8192], 0xFF);
  EXPECT_EQ(m.chip()[kChipCapacity - 1], 0xFF);
  ASSERT_EQ(m.exchanges().size(), 1u);
  const ExchangeLog& log = m.exchanges()[0];
  EXPECT_EQ(log.ending, "complete");
  EXPECT_EQ(log.command, 0x21);
  EXPECT_EQ(log.dataBytes, 8192);
  EXPECT_EQ(log.acknowledges, 8192);
  const long changed = std::count_if(pattern.begin(), pattern.begin() + 8192,
                                     [](std::uint8_t v) { return v != 0xFF; });
  EXPECT_EQ(log.programmed, changed);
}

TEST(DeviceModelWrite, ProgrammingOnlyClearsBits) {
  auto chip = Pattern();
  chip[0] = 0x0F;
  chip[1] = 0x0F;
  chip[2] = 0x0F;
  DeviceModel m(chip);
  Feed(m, 0x21);
  EXPECT_EQ(Feed(m, 0x05), Bytes{kAcknowledge}) << "clearing bits works";
  EXPECT_EQ(Feed(m, 0x0F), Bytes{kAcknowledge}) << "the value already there works";
  const Bytes refused = Feed(m, 0x1F);
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_NE(refused[0], kAcknowledge) << "a 1 over a 0 cannot be programmed";
  EXPECT_EQ(m.chip()[0], 0x05);
  EXPECT_EQ(m.chip()[1], 0x0F);
  EXPECT_EQ(m.chip()[2], 0x0F) << "a failed cell is left as it was";
  EXPECT_EQ(m.chip()[3], chip[3]);
  const ExchangeLog& log = m.exchanges().at(0);
  EXPECT_EQ(log.ending, "bad-cell");
  EXPECT_EQ(log.address, 2);
  EXPECT_EQ(log.acknowledges, 2);
  EXPECT_EQ(log.dataBytes, 3);
  EXPECT_EQ(log.programmed, 1);
}

TEST(DeviceModelFaults, SilentFromStopsBothDirectionsAtThatAddress) {
  DeviceOptions o;
  o.silentFrom = 100;
  DeviceModel reader(Pattern(), o);
  const Bytes got = ReadAll(reader, 0x40);
  EXPECT_EQ(got.size(), 101u) << "reply and data bytes 0..99";
  EXPECT_EQ(reader.exchanges().at(0).ending, "no-reply");
  EXPECT_EQ(reader.exchanges().at(0).address, 100);
  EXPECT_EQ(reader.exchanges().at(0).acknowledges, 100);

  DeviceModel writer(DeviceModel().chip(), o);
  Feed(writer, 0x21);
  for (int a = 0; a < 100; ++a) ASSERT_EQ(Feed(writer, 0x00), Bytes{kAcknowledge});
  EXPECT_TRUE(Feed(writer, 0x00).empty());
  EXPECT_TRUE(Feed(writer, 0x00).empty()) << "still silent";
  EXPECT_EQ(writer.chip()[99], 0x00);
  EXPECT_EQ(writer.chip()[100], 0xFF) << "a silent device programs nothing";
  EXPECT_EQ(writer.exchanges().at(0).ending, "no-reply");
  EXPECT_EQ(writer.exchanges().at(0).address, 100);

  o.silentFrom = 0;
  DeviceModel none(Pattern(), o);
  EXPECT_EQ(Feed(none, 0x20), Bytes{0x00}) << "the command is answered, byte 0 is not";
}

TEST(DeviceModelFaults, SilentCommandAnswersNothing) {
  DeviceOptions o;
  o.silentCommand = 1;
  DeviceModel m(Pattern(), o);
  EXPECT_TRUE(Feed(m, 0x80).empty());
  EXPECT_TRUE(Feed(m, kAcknowledge).empty());
  EXPECT_EQ(m.exchanges().at(0).ending, "no-reply");
  EXPECT_EQ(m.exchanges().at(0).command, 0x80);
}

TEST(DeviceModelFaults, WriteFailureAtAddressLeavesThatCellAndEndsTheWrite) {
  DeviceOptions o;
  o.writeFailAt = 100;
  DeviceModel m(DeviceModel().chip(), o);
  Feed(m, 0x21);
  for (int a = 0; a < 100; ++a) ASSERT_EQ(Feed(m, 0x55), Bytes{kAcknowledge}) << a;
  EXPECT_EQ(Feed(m, 0x55), Bytes{kCellFailed});
  EXPECT_EQ(m.chip()[99], 0x55);
  EXPECT_EQ(m.chip()[100], 0xFF);
  EXPECT_EQ(m.exchanges().at(0).ending, "bad-cell");
  EXPECT_EQ(m.exchanges().at(0).address, 100);
  // Without RTS the device knows the host stops after a failure: next is a command.
  EXPECT_EQ(Feed(m, 0x20), (Bytes{0x00, 0x55}));
}

TEST(DeviceModelFraming, RtsLowIgnoresBytesAndEndsAnExchangeAnywhere) {
  DeviceModel m(Pattern());
  m.SetRts(false);
  EXPECT_TRUE(Feed(m, 0x20).empty()) << "no command with RTS low";
  EXPECT_EQ(m.ignoredBytes(), 1);
  EXPECT_TRUE(m.exchanges().empty());

  m.SetRts(true);
  ASSERT_EQ(Feed(m, 0x20).size(), 2u);
  Feed(m, kAcknowledge);
  Feed(m, kAcknowledge);
  m.SetRts(false);
  ASSERT_EQ(m.exchanges().size(), 1u);
  EXPECT_EQ(m.exchanges()[0].ending, "rts-low");
  EXPECT_EQ(m.exchanges()[0].address, 2);
  EXPECT_EQ(m.exchanges()[0].dataBytes, 3);
  EXPECT_TRUE(Feed(m, kAcknowledge).empty());

  m.SetRts(true);
  EXPECT_EQ(Feed(m, 0x21), Bytes{0x00}) << "a fresh command after RTS rose again";
  m.SetRts(false);
  EXPECT_EQ(m.exchanges().back().ending, "rts-low");
  EXPECT_EQ(m.exchanges().back().address, 0);
}

TEST(DeviceModelFraming, WithRtsTheNextCommandWaitsForRtsToRiseAgain) {
  auto chip = DeviceModel().chip();
  chip[1] = 0x00;
  DeviceModel m(chip);
  m.SetRts(true);
  Feed(m, 0x21);
  EXPECT_EQ(Feed(m, 0x00), Bytes{kAcknowledge});
  EXPECT_EQ(Feed(m, 0xFF), Bytes{kCellFailed});
  EXPECT_TRUE(Feed(m, 0x20).empty()) << "RTS still high from the failed write";
  m.SetRts(false);
  m.SetRts(true);
  EXPECT_EQ(Feed(m, 0x20), (Bytes{0x00, 0x00}));
}

TEST(DeviceModelFraming, SilenceEndsAnExchangeAndTheNextByteIsACommand) {
  DeviceModel m;
  Feed(m, 0x21);
  EXPECT_EQ(Feed(m, 0x20), Bytes{kAcknowledge}) << "inside a write every byte is data";
  EXPECT_EQ(m.chip()[0], 0x20);
  m.EndOfExchange("silence");
  EXPECT_EQ(m.exchanges().at(0).ending, "silence");
  EXPECT_EQ(m.exchanges().at(0).address, 1);
  EXPECT_EQ(Feed(m, 0x20), (Bytes{0x00, 0x20})) << "read of what was just written";
  m.EndOfExchange("silence");
  m.EndOfExchange("silence");
  EXPECT_EQ(m.exchanges().size(), 2u) << "no exchange, nothing to end";
}

TEST(DeviceModelFraming, WithoutRtsACommandInPlaceOfAnAcknowledgeStartsAnew) {
  DeviceModel m(Pattern());
  Feed(m, 0x20);
  Feed(m, kAcknowledge);
  EXPECT_EQ(Feed(m, 0x40), (Bytes{0x00, Pattern()[0]}));
  ASSERT_EQ(m.exchanges().size(), 1u);
  EXPECT_EQ(m.exchanges()[0].ending, "bad-ack");
  EXPECT_EQ(m.exchanges()[0].address, 1);
  EXPECT_TRUE(m.InExchange());
  EXPECT_EQ(Feed(m, 0x55), Bytes{}) << "neither acknowledge nor command";
  EXPECT_FALSE(m.InExchange());
  EXPECT_EQ(m.exchanges().back().ending, "bad-ack");
}

TEST(DeviceModelFraming, UnknownCommandIsLoggedAndIgnoredUntilTheExchangeEnds) {
  for (std::uint8_t bad : {0x00, 0xAA, 0x22, 0xFF, 0x10}) {
    DeviceModel m;
    EXPECT_TRUE(Feed(m, bad).empty()) << int{bad};
    EXPECT_TRUE(Feed(m, 0x20).empty()) << "still in the unknown exchange";
    ASSERT_EQ(m.exchanges().size(), 1u);
    EXPECT_EQ(m.exchanges()[0].command, bad);
    EXPECT_EQ(m.exchanges()[0].ending, "unknown-command");
    m.EndOfExchange("silence");
    EXPECT_EQ(Feed(m, 0x20).size(), 2u);
  }
}

TEST(DeviceModelFraming, CommandSizes) {
  EXPECT_EQ(ChipSizeOfCommand(0x20), 8192);
  EXPECT_EQ(ChipSizeOfCommand(0x21), 8192);
  EXPECT_EQ(ChipSizeOfCommand(0x41), 16384);
  EXPECT_EQ(ChipSizeOfCommand(0x80), 32768);
  EXPECT_EQ(ChipSizeOfCommand(0x81), 32768);
  EXPECT_EQ(ChipSizeOfCommand(0x60), 0);
  EXPECT_EQ(ChipSizeOfCommand(0xA0), 0);
}

}  // namespace
}  // namespace romprog::sim

namespace romprog::sim {
namespace {

// The data bytes of `reads` whole reads of a 27C64 by a model with `faults`.
std::vector<Bytes> ReadsWith(const FaultOptions& faults, int reads) {
  DeviceOptions options;
  options.faults = faults;
  DeviceModel m(Pattern(), options);
  std::vector<Bytes> passes;
  for (int k = 0; k < reads; ++k) {
    Bytes got = ReadAll(m, 0x20);
    m.EndOfExchange("test");
    passes.emplace_back(got.begin() + 1, got.end());
  }
  return passes;
}

TEST(DeviceModelFaults, WeakBitsAreProgrammedBitsThatReadOneSometimesTheSameEveryRun) {
  const auto chip = Pattern();
  FaultOptions weak{40, 0.5, 7};
  const std::vector<Bytes> passes = ReadsWith(weak, 20);
  std::vector<int> seen;  // cell * 8 + bit of every bit that read both ways
  for (int a = 0; a < 8192; ++a) {
    std::uint8_t all = 0xFF, any = 0x00;
    for (const Bytes& p : passes) {
      all &= p[a];
      any |= p[a];
      EXPECT_EQ(p[a] & chip[a], chip[a]) << "a weak bit only ever reads 1 more";
    }
    EXPECT_EQ(all, chip[a]) << "in 20 reads at 0.5 each weak bit read 0 once";
    for (int bit = 0; bit < 8; ++bit) {
      if (((all ^ any) >> bit) & 1) seen.push_back(a * 8 + bit);
    }
  }
  CellFaults faults(weak);
  EXPECT_EQ(seen, faults.WeakBits(chip.data(), 8192));
  EXPECT_EQ(seen.size(), 40u);
  EXPECT_EQ(ReadsWith(weak, 20), passes) << "the seed makes every run alike";
  weak.weakSeed = 8;
  EXPECT_NE(CellFaults(weak).WeakBits(chip.data(), 8192), seen) << "another seed, other bits";
}

TEST(DeviceModelFaults, AStuckDataBitAndADeadAddressLine) {
  const auto chip = Pattern();
  FaultOptions stuck;
  stuck.stuckBit = 3;
  stuck.stuckValue = 1;
  const Bytes high = ReadsWith(stuck, 1)[0];
  stuck.stuckValue = 0;
  const Bytes low = ReadsWith(stuck, 1)[0];
  FaultOptions dead;
  dead.deadLine = 12;
  const Bytes mirrored = ReadsWith(dead, 1)[0];
  for (int a = 0; a < 8192; ++a) {
    EXPECT_EQ(high[a], chip[a] | 0x08) << a;
    EXPECT_EQ(low[a], chip[a] & 0xF7) << a;
    EXPECT_EQ(mirrored[a], chip[a & 0x0FFF]) << a;
  }
}

}  // namespace
}  // namespace romprog::sim
