#include "firmware/board/eprom_model.h"

namespace romprog::board {
namespace {

// The socket's pin 27 as /PGM on the smaller chips.
constexpr std::uint16_t kPin27 = 1u << 14;

std::uint64_t Mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

}  // namespace

EpromModel::EpromModel(EpromKind kind, const ChipCells& cells, EpromFaults faults)
    : kind_(kind), cells_(cells), faults_(std::move(faults)) {}

int EpromModel::PulsesNeeded(int cell) const {
  if (faults_.maxPulses <= 1) return 1;
  const std::uint64_t h =
      Mix((std::uint64_t{faults_.seed} << 32) | static_cast<std::uint32_t>(cell));
  return 1 + static_cast<int>(h % static_cast<std::uint64_t>(faults_.maxPulses));
}

int EpromModel::Cell(std::uint16_t lines) const {
  switch (kind_) {
    case EpromKind::k27C64:
      return lines & 0x1FFF;
    case EpromKind::k27C128:
      return lines & 0x3FFF;
    case EpromKind::k27C256:
      break;
  }
  return lines & 0x7FFF;
}

bool EpromModel::PgmLow() const {
  return kind_ != EpromKind::k27C256 && !(in_.lines & kPin27);
}

bool EpromModel::Programming() const {
  const bool select = kind_ == EpromKind::k27C256 ? in_.ceLow : in_.ceLow && PgmLow();
  return in_.vppHigh && in_.vccHigh && select && !in_.oeLow;
}

bool EpromModel::ReadMode() const {
  const bool pgmOff = kind_ == EpromKind::k27C256 || !PgmLow();
  return !in_.vppHigh && in_.ceLow && in_.oeLow && pgmOff;
}

// Program verify: supplies up, /OE low; /CE high on a 27C256, /CE low with
// /PGM high on the others.
bool EpromModel::VerifyMode() const {
  if (!in_.vppHigh || !in_.vccHigh || !in_.oeLow) return false;
  if (kind_ == EpromKind::k27C256) return !in_.ceLow;
  return in_.ceLow && !PgmLow();
}

void EpromModel::Apply(const SocketInputs& in, std::int64_t nowNs) {
  const bool vppRose = in.vppHigh && !in_.vppHigh;
  const bool wasSafe = !in_.vppHigh || in_.vccHigh;
  in_ = in;
  if (vppRose) ++counts_.supplyCycles;
  // VCC must be up before (or with) VPP and come down after it.
  if (wasSafe && in_.vppHigh && !in_.vccHigh) ++counts_.sequenceFaults;
  const bool programming = Programming();
  if (programming && !pulsing_) {
    pulsing_ = true;
    spoiled_ = !in_.data.has_value();
    pulseStartNs_ = nowNs;
    pulseInputs_ = in_;
  } else if (programming) {
    // Address or data moving under a pulse: the cell it lands in is anyone's guess.
    if (in_.lines != pulseInputs_.lines || in_.data != pulseInputs_.data) spoiled_ = true;
  } else if (pulsing_) {
    EndPulse(nowNs);
  }
}

void EpromModel::EndPulse(std::int64_t nowNs) {
  pulsing_ = false;
  const std::int64_t width = nowNs - pulseStartNs_;
  if (spoiled_ || width < kPulseMinNs || width > kPulseMaxNs) {
    ++counts_.voidPulses;
    return;
  }
  ++counts_.pulses;
  const int cell = Cell(pulseInputs_.lines);
  if (faults_.deadCells.count(cell) != 0) return;
  const std::uint8_t value = *pulseInputs_.data;
  const int needed = PulsesNeeded(cell);
  for (int bit = 0; bit < 8; ++bit) {
    if (value & (1u << bit)) continue;
    std::uint8_t& charge = charge_[cell][bit];
    if (charge < 255) ++charge;
    if (charge >= needed && (cells_[cell] & (1u << bit))) {
      cells_[cell] = static_cast<std::uint8_t>(cells_[cell] & ~(1u << bit));
      changed_ = true;
    }
  }
}

std::optional<std::uint8_t> EpromModel::Output() const {
  if (ReadMode() || VerifyMode()) return cells_[Cell(in_.lines)];
  // Outputs on in no defined mode (VPP up in a read, VCC at 5 V in a
  // verify): the sense amplifiers give nothing to trust.
  if (in_.oeLow && (in_.ceLow || in_.vppHigh)) {
    return static_cast<std::uint8_t>(~cells_[Cell(in_.lines)] ^ (in_.lines & 0xFF));
  }
  return std::nullopt;
}

}  // namespace romprog::board
