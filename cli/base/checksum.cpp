#include "cli/base/checksum.h"

#include <zlib.h>

#include <limits>

#include "core/hex_text.h"

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
  return "sum " + romprog::HexNumber(ByteSum16(data, size), 4) + "  CRC-32 " +
         romprog::HexNumber(Crc32(data, size), 8);
}

}  // namespace romtool
