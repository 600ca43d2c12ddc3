// The image: the 32 KiB the program keeps of a ROM, of which the chip type
// selected uses the first 8, 16 or 32 KiB (its active size).
#pragma once

#include <array>
#include <cstdint>

namespace romprog {

constexpr int kBufferSize = 32768;

using Image = std::array<std::uint8_t, kBufferSize>;

}  // namespace romprog
