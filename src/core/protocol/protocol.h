// The programmer's byte protocol as both ends keep it: the host (ChipLink)
// and the emulator's device model.
#pragma once

#include <cstdint>

namespace romprog {

// Sent for every cell taken (reading) and answered for every cell
// programmed (writing).
constexpr std::uint8_t kAcknowledge = 0xAA;
// RTS is up at least this long before the command byte goes out.
constexpr int kCommandPauseMs = 10;
// Time a reply byte may take, counted afresh for every byte.
constexpr std::uint32_t kReplyTimeoutMs = 1000;

enum class Direction { Reading, Writing };

// The command byte: the chip code for reading, the code + 1 for writing.
constexpr std::uint8_t CommandByte(std::uint8_t chipCode, Direction direction) {
  return direction == Direction::Writing ? static_cast<std::uint8_t>(chipCode + 1) : chipCode;
}

}  // namespace romprog
