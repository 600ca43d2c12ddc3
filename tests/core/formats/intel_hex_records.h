// Intel HEX records made in the tests, and the image they are read into.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/formats/intel_hex_reader.h"
#include "core/image.h"

namespace romprog::testing {

// An image exactly as large as the buffer, on the heap, so the sanitizers
// catch a store one past its end.
struct Image {
  std::unique_ptr<std::uint8_t[]> bytes{new std::uint8_t[kBufferSize]};
  Image() { std::memset(bytes.get(), 0xFF, kBufferSize); }
  std::uint8_t operator[](int offset) const { return bytes[offset]; }
  int Read(const std::string& text, int activeSize) {
    return ReadIntelHex(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(),
                        bytes.get(), activeSize);
  }
  int CountNot(std::uint8_t value) const {
    int n = 0;
    for (int i = 0; i < kBufferSize; ++i) n += bytes[i] != value;
    return n;
  }
};

// A record with a correct checksum: count, address, type, data.
inline std::string Record(int address, const std::vector<int>& data, int type = 0) {
  char head[16];
  std::snprintf(head, sizeof head, ":%02X%04X%02X", static_cast<int>(data.size()), address, type);
  std::string line = head;
  int sum = static_cast<int>(data.size()) + (address >> 8) + (address & 0xFF) + type;
  for (int byte : data) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", byte);
    line += digits;
    sum += byte;
  }
  char check[3];
  std::snprintf(check, sizeof check, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
  return line + check;
}

}  // namespace romprog::testing
