// Files and folders for romtool's tests.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "tests/support/files_test_support.h"

namespace romtool::testing {

// The file tests' folder and whole-file helpers serve here too.
using romprog::testing::ReadWhole;
using romprog::testing::TempDir;
using romprog::testing::WriteWhole;

inline std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(random());
  return bytes;
}

inline const std::uint8_t* Bytes(const std::string& text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

}  // namespace romtool::testing
