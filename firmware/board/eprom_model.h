// A 27C64, 27C128 or 27C256 as strict as the real part: it programs only
// under a pulse of 95-105 us with VPP at 12.75 V and VCC at 6.25 V, clears
// bits and never sets one, drives its data lines only in the read and
// verify modes, and each cell needs its own number of pulses. Times are
// the simulated board's, in nanoseconds; no I/O.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <set>

namespace romprog::board {

constexpr int kSocketCells = 32768;  // the chip file holds a 27C256's worth
using ChipCells = std::array<std::uint8_t, kSocketCells>;

enum class EpromKind { k27C64, k27C128, k27C256 };

// The socket's inputs as the chip sees them.
struct SocketInputs {
  std::uint16_t lines = 0;           // A0-A14 lines; bit 14 is pin 27 (/PGM below a 27C256)
  std::optional<std::uint8_t> data;  // what the programmer drives on D0-D7, if it drives all
  bool ceLow = false;
  bool oeLow = false;
  bool vppHigh = false;  // VPP pin at 12.75 V (else at VCC)
  bool vccHigh = false;  // VCC at 6.25 V (else 5 V)
};

struct EpromFaults {
  std::uint32_t seed = 1;
  int maxPulses = 1;        // a cell needs 1 to maxPulses pulses (by the seed)
  std::set<int> deadCells;  // cells that never take a value
};

struct EpromCounts {
  long pulses = 0;          // pulses that counted
  long voidPulses = 0;      // too short, too long, or lines moving under them
  long sequenceFaults = 0;  // VPP up while VCC was at 5 V
  long supplyCycles = 0;    // times VPP went up
};

// 95-105 us: what the chips' 100 us pulse allows.
constexpr std::int64_t kPulseMinNs = 95000;
constexpr std::int64_t kPulseMaxNs = 105000;

class EpromModel {
 public:
  EpromModel(EpromKind kind, const ChipCells& cells, EpromFaults faults = {});

  // Every change of the socket's inputs, at `nowNs`.
  void Apply(const SocketInputs& in, std::int64_t nowNs);
  // What the chip drives on D0-D7: the cell in read or verify mode, a wrong
  // byte when its outputs are on in any other mode, none when they float.
  std::optional<std::uint8_t> Output() const;

  const ChipCells& cells() const { return cells_; }
  const EpromCounts& counts() const { return counts_; }
  // Valid pulses cell `cell` needs before its bits clear.
  int PulsesNeeded(int cell) const;
  bool changed() const { return changed_; }
  void ClearChanged() { changed_ = false; }

 private:
  int Cell(std::uint16_t lines) const;
  bool PgmLow() const;
  bool Programming() const;
  bool ReadMode() const;
  bool VerifyMode() const;
  void EndPulse(std::int64_t nowNs);

  EpromKind kind_;
  ChipCells cells_;
  EpromFaults faults_;
  EpromCounts counts_;
  // Pulses each bit of each cell has had with its data bit at 0.
  std::array<std::array<std::uint8_t, 8>, kSocketCells> charge_{};
  SocketInputs in_;
  bool pulsing_ = false;
  bool spoiled_ = false;
  std::int64_t pulseStartNs_ = 0;
  SocketInputs pulseInputs_;
  bool changed_ = false;
};

}  // namespace romprog::board
