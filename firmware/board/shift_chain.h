// The two 74HC595 that hold the socket's address lines: a 74HC595 shifts
// SER in on a rising SRCLK and copies its stage to its outputs on a rising
// RCLK; the second takes the first's QH' (its stage's top bit).
#pragma once

#include <cstdint>

namespace romprog::board {

class ShiftRegister595 {
 public:
  void ShiftIn(bool ser) { stage_ = static_cast<std::uint8_t>((stage_ << 1) | (ser ? 1 : 0)); }
  bool Carry() const { return (stage_ & 0x80) != 0; }  // QH'
  void Latch() { outputs_ = stage_; }
  std::uint8_t outputs() const { return outputs_; }

 private:
  std::uint8_t stage_ = 0;
  std::uint8_t outputs_ = 0;
};

// The first register's outputs are A0-A7, the second's A8-A15.
class ShiftChain {
 public:
  // The levels of SER, SRCLK and RCLK; acts on rising edges.
  void Pins(bool ser, bool srclk, bool rclk);
  std::uint16_t lines() const {
    return static_cast<std::uint16_t>((second_.outputs() << 8) | first_.outputs());
  }

 private:
  ShiftRegister595 first_;
  ShiftRegister595 second_;
  bool srclk_ = false;
  bool rclk_ = false;
};

}  // namespace romprog::board
