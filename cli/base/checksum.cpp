#include "cli/base/checksum.h"

#include <zlib.h>

#include <cinttypes>
#include <cstdio>
#include <limits>

namespace romtool {

std::uint16_t ByteSum16(const std::uint8_t* data, std::size_t size) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < size; ++i) sum += data[i];
  return static_cast<std::uint16_t>(sum);
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  // zlib's crc32 takes a length of type uInt: feed it in pieces that fit.
  uLong crc = crc32(0L, Z_NULL, 0);
  constexpr std::size_t kPiece = std::numeric_limits<uInt>::max();
  while (size > 0) {
    const std::size_t piece = size < kPiece ? size : kPiece;
    crc = crc32(crc, data, static_cast<uInt>(piece));
    data += piece;
    size -= piece;
  }
  return static_cast<std::uint32_t>(crc);
}

std::string SumsText(const std::uint8_t* data, std::size_t size) {
  char text[48];
  std::snprintf(text, sizeof text, "sum 0x%04X  CRC-32 0x%08" PRIX32,
                static_cast<unsigned>(ByteSum16(data, size)), Crc32(data, size));
  return text;
}

}  // namespace romtool
