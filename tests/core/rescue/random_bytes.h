// Random images for the rescue tests, the same for the same seed.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace romprog::rescue_testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Random(int size, unsigned seed) {
  std::mt19937 draw(seed);
  Bytes bytes(static_cast<std::size_t>(size));
  for (auto& b : bytes) b = static_cast<std::uint8_t>(draw());
  return bytes;
}

}  // namespace romprog::rescue_testing
