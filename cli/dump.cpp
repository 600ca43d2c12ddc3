#include "dump.h"

#include "core/listing_row.h"

namespace romtool {
namespace {

// Unicode code points of Windows-1251 bytes 0x80 to 0xBF; 0 where the code
// page has no character. 0xC0 to 0xFF are U+0410 to U+044F in order.
constexpr std::uint16_t kHighHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0,      0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

std::uint32_t CodePoint(std::uint8_t byte) {
  if (byte < 0x7F) return byte;
  if (byte == 0x7F) return 0;
  if (byte >= 0xC0) return 0x0410u + (byte - 0xC0u);
  return kHighHalf[byte - 0x80];
}

std::string Utf8(std::uint32_t point) {
  std::string text;
  if (point < 0x80) {
    text += static_cast<char>(point);
  } else if (point < 0x800) {
    text += static_cast<char>(0xC0 | (point >> 6));
    text += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    text += static_cast<char>(0xE0 | (point >> 12));
    text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (point & 0x3F));
  }
  return text;
}

}  // namespace

std::string TerminalChar(char listingChar) {
  const std::uint32_t point = CodePoint(static_cast<std::uint8_t>(listingChar));
  return point == 0 ? std::string(".") : Utf8(point);
}

std::string DumpRow(const std::uint8_t* bytes, int address) {
  std::string row = romprog::AddressCell(address);
  for (int k = 0; k < romprog::kBytesPerRow; ++k) row += romprog::ByteCell(bytes[k]);
  for (char c : romprog::AsciiCell(bytes)) row += TerminalChar(c);
  return row + "\n";
}

std::string DumpRows(const std::uint8_t* image, int activeSize) {
  std::string text;
  for (int address = 0; address + romprog::kBytesPerRow <= activeSize;
       address += romprog::kBytesPerRow) {
    text += DumpRow(image + address, address);
  }
  return text;
}

}  // namespace romtool
