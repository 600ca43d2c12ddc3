#include "cli/checksum.h"

#include <array>
#include <cinttypes>
#include <cstdio>

namespace romtool {
namespace {

constexpr std::uint32_t kReflectedPolynomial = 0xEDB88320u;

constexpr std::array<std::uint32_t, 256> kCrcTable = [] {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t value = n;
    for (int bit = 0; bit < 8; ++bit) {
      value = (value & 1) ? (value >> 1) ^ kReflectedPolynomial : value >> 1;
    }
    table[n] = value;
  }
  return table;
}();

}  // namespace

std::uint16_t ByteSum16(const std::uint8_t* data, std::size_t size) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < size; ++i) sum += data[i];
  return static_cast<std::uint16_t>(sum);
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) crc = kCrcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::string SumsText(const std::uint8_t* data, std::size_t size) {
  char text[48];
  std::snprintf(text, sizeof text, "sum 0x%04X  CRC-32 0x%08" PRIX32,
                static_cast<unsigned>(ByteSum16(data, size)), Crc32(data, size));
  return text;
}

}  // namespace romtool
