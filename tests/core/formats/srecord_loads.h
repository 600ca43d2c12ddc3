// S-record text read into a fresh image, as the S-record tests load it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/formats/srecord_reader.h"
#include "core/formats/srecord_writer.h"
#include "core/image.h"
#include "tests/support/cli_test_support.h"

namespace romtool::testing {

using romprog::ReadSRecords;
using romprog::TextLoad;
using romprog::WriteSRecords;

struct Loaded {
  TextLoad load;
  std::vector<std::uint8_t> image = std::vector<std::uint8_t>(romprog::kBufferSize, 0xFF);
};

inline Loaded Read(const std::string& text, int activeSize = 32768) {
  Loaded result;
  result.load = ReadSRecords(Bytes(text), text.size(), result.image.data(), activeSize);
  return result;
}

}  // namespace romtool::testing
