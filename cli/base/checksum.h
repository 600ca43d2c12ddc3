// The figures `romtool sum` prints: the byte sum most EPROM programmers show,
// and the CRC-32 of zip and PNG files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace romtool {

// The sum of the bytes, in its low 16 bits.
std::uint16_t ByteSum16(const std::uint8_t* data, std::size_t size);

// CRC-32 (polynomial 0x04C11DB7 reflected, initial and final value all ones).
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size);

// Both as the maps print them: "sum 0x1234  CRC-32 0x89ABCDEF".
std::string SumsText(const std::uint8_t* data, std::size_t size);

}  // namespace romtool
