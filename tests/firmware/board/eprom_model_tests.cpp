// The chip model's rules on their own: only a 95-105 us pulse with both
// supplies up programs, bits only clear, the outputs give the cell only in
// the read and verify modes.
#include <gtest/gtest.h>

#include <memory>

#include "firmware/board/eprom_model.h"
#include "firmware/board/shift_chain.h"

namespace romprog::board {
namespace {

constexpr std::int64_t kUs = 1000;
constexpr std::uint16_t kPgmHigh = 1u << 14;

ChipCells Blank() {
  ChipCells cells;
  cells.fill(0xFF);
  return cells;
}

// A programmer's steps on the socket, at times it chooses.
struct Socket {
  explicit Socket(EpromKind kind, EpromFaults faults = {}, ChipCells cells = Blank())
      : chip(std::make_unique<EpromModel>(kind, cells, faults)), kind(kind) {}
  std::unique_ptr<EpromModel> chip;
  EpromKind kind;
  SocketInputs in;
  std::int64_t now = 0;

  void Set(std::int64_t afterUs) {
    now += afterUs * kUs;
    chip->Apply(in, now);
  }
  std::uint16_t Lines(int cell, bool pgmLow) const {
    if (kind == EpromKind::k27C256) return static_cast<std::uint16_t>(cell);
    return static_cast<std::uint16_t>(cell | (pgmLow ? 0 : kPgmHigh));
  }
  void SuppliesUp() {
    in.vccHigh = true;
    Set(50);
    in.vppHigh = true;
    Set(50);
  }
  void SuppliesDown() {
    in.vppHigh = false;
    Set(50);
    in.vccHigh = false;
    Set(50);
  }
  // One program pulse of `widthUs` on the pin the chip takes it on.
  void Pulse(int cell, std::uint8_t value, std::int64_t widthUs) {
    in.oeLow = false;
    in.data = value;
    in.lines = Lines(cell, false);
    if (kind != EpromKind::k27C256) in.ceLow = true;
    Set(2);
    if (kind == EpromKind::k27C256) {
      in.ceLow = true;
    } else {
      in.lines = Lines(cell, true);
    }
    Set(2);
    if (kind == EpromKind::k27C256) {
      in.ceLow = false;
    } else {
      in.lines = Lines(cell, false);
    }
    Set(widthUs);
    in.data.reset();
    in.ceLow = false;
    Set(2);
  }
  void Program(int cell, std::uint8_t value, std::int64_t widthUs = 100, int pulses = 1) {
    SuppliesUp();
    for (int i = 0; i < pulses; ++i) Pulse(cell, value, widthUs);
    SuppliesDown();
  }
  // A read at 5 V: /CE and /OE low (and /PGM high below a 27C256).
  std::optional<std::uint8_t> Read(int cell) {
    in.data.reset();
    in.lines = Lines(cell, false);
    in.ceLow = in.oeLow = true;
    Set(1);
    const std::optional<std::uint8_t> out = chip->Output();
    in.ceLow = in.oeLow = false;
    Set(1);
    return out;
  }
};

TEST(EpromModel, OnlyAHundredMicrosecondPulseWithBothSuppliesProgramsEachKind) {
  for (EpromKind kind : {EpromKind::k27C64, EpromKind::k27C128, EpromKind::k27C256}) {
    Socket socket(kind);
    socket.Program(5, 0x12, 1000);  // the old 1 ms pulse
    EXPECT_EQ(socket.Read(5), 0xFF);
    socket.Program(5, 0x12, 90);
    socket.Program(5, 0x12, 110);
    EXPECT_EQ(socket.Read(5), 0xFF);
    EXPECT_EQ(socket.chip->counts().voidPulses, 3);

    socket.in.vccHigh = true;  // VPP never comes up
    socket.Set(50);
    socket.Pulse(5, 0x12, 100);
    socket.SuppliesDown();
    socket.in.vppHigh = true;  // VCC at 5 V: out of order, and no programming
    socket.Set(50);
    socket.Pulse(5, 0x12, 100);
    socket.SuppliesDown();
    EXPECT_EQ(socket.Read(5), 0xFF);
    EXPECT_EQ(socket.chip->counts().sequenceFaults, 1);

    socket.Program(5, 0x12, 100);
    EXPECT_EQ(socket.Read(5), 0x12);
    EXPECT_EQ(socket.chip->counts().pulses, 1);
    EXPECT_EQ(socket.Read(4), 0xFF);
    EXPECT_EQ(socket.Read(6), 0xFF);
  }
}

TEST(EpromModel, BitsOnlyClearAndOnlyAfterTheCellsOwnPulseCount) {
  EpromFaults faults;
  faults.seed = 7;
  faults.maxPulses = 5;
  Socket socket(EpromKind::k27C256, faults);
  int cell = 0;
  while (socket.chip->PulsesNeeded(cell) < 3) ++cell;
  const int needed = socket.chip->PulsesNeeded(cell);
  socket.Program(cell, 0x0F, 100, needed - 1);
  EXPECT_EQ(socket.Read(cell), 0xFF);
  socket.Program(cell, 0x0F, 100, 1);
  EXPECT_EQ(socket.Read(cell), 0x0F);
  socket.Program(cell, 0xF0, 100, needed);  // asks for the 1 bits back
  EXPECT_EQ(socket.Read(cell), 0x00);

  // The counts are the seed's: spread over 1..5, the same every time.
  int seen[6] = {};
  for (int c = 0; c < 1000; ++c) ++seen[socket.chip->PulsesNeeded(c)];
  for (int n = 1; n <= 5; ++n) EXPECT_GT(seen[n], 100) << n;
  EpromModel again(EpromKind::k27C256, Blank(), faults);
  EXPECT_EQ(again.PulsesNeeded(cell), needed);
}

TEST(EpromModel, ADeadCellNeverTakesAValue) {
  EpromFaults faults;
  faults.deadCells = {9};
  Socket socket(EpromKind::k27C64, faults);
  socket.Program(9, 0x00, 100, 25);
  EXPECT_EQ(socket.Read(9), 0xFF);
  socket.Program(10, 0x00, 100);
  EXPECT_EQ(socket.Read(10), 0x00);
}

TEST(EpromModel, LinesMovingUnderAPulseVoidIt) {
  Socket socket(EpromKind::k27C256);
  socket.SuppliesUp();
  socket.in.data = 0x00;
  socket.in.lines = 3;
  socket.Set(2);
  socket.in.ceLow = true;
  socket.Set(50);
  socket.in.lines = 4;  // the address moves
  socket.Set(50);
  socket.in.ceLow = false;
  socket.Set(2);
  socket.SuppliesDown();
  EXPECT_EQ(socket.chip->counts().voidPulses, 1);
  EXPECT_EQ(socket.Read(3), 0xFF);
  EXPECT_EQ(socket.Read(4), 0xFF);
}

TEST(EpromModel, OutputsHoldTheCellOnlyInReadAndVerifyModes) {
  ChipCells cells = Blank();
  cells[0x1234] = 0x5A;
  cells[0x1234 | 0x4000] = 0x77;
  Socket big(EpromKind::k27C256, {}, cells);
  EXPECT_EQ(big.Read(0x1234), 0x5A);
  EXPECT_EQ(big.Read(0x5234), 0x77);
  big.in.lines = 0x1234;
  big.in.ceLow = true;
  big.Set(1);
  EXPECT_EQ(big.chip->Output(), std::nullopt) << "/OE high: outputs float";
  big.in.oeLow = true;
  big.in.vppHigh = big.in.vccHigh = true;
  big.Set(1);
  EXPECT_NE(big.chip->Output(), 0x5A) << "a read with VPP up";
  big.in.ceLow = false;  // program verify of a 27C256: /CE high, /OE low
  big.Set(1);
  EXPECT_EQ(big.chip->Output(), 0x5A);
  big.in.vccHigh = false;
  big.Set(1);
  EXPECT_NE(big.chip->Output(), 0x5A) << "a verify at VCC 5 V";

  Socket small(EpromKind::k27C64, {}, cells);
  EXPECT_EQ(small.Read(0x1234 & 0x1FFF), cells[0x1234 & 0x1FFF]);
  small.in.lines = 0x1234;  // /PGM low in a read
  small.in.ceLow = small.in.oeLow = true;
  small.Set(1);
  EXPECT_NE(small.chip->Output(), cells[0x1234]) << "a read with /PGM low";
  small.in.lines = 0x1234 | kPgmHigh;  // verify: supplies up, /CE and /OE low, /PGM high
  small.in.vppHigh = small.in.vccHigh = true;
  small.Set(1);
  EXPECT_EQ(small.chip->Output(), cells[0x1234]);
}

}  // namespace
}  // namespace romprog::board
