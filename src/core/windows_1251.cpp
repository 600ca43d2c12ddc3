#include "core/windows_1251.h"

namespace romprog {
namespace {

// Unicode of bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F in order.
constexpr char16_t kHighHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

// The small letter of a capital, the character itself otherwise.
char16_t LowerLetter(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
  if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 0x20);  // А to Я
  if (c >= 0x0400 && c <= 0x040F) return static_cast<char16_t>(c + 0x50);  // Ѐ to Џ
  if (c == 0x0490) return 0x0491;                                          // Ґ
  return c;
}

std::uint8_t LowerByte(std::uint8_t byte) {
  const char16_t lower = LowerLetter(Unicode1251(byte));
  if (lower == Unicode1251(byte)) return byte;
  for (int other = 0; other < 256; ++other) {
    if (Unicode1251(static_cast<std::uint8_t>(other)) == lower) {
      return static_cast<std::uint8_t>(other);
    }
  }
  return byte;
}

}  // namespace

char16_t Unicode1251(std::uint8_t byte) {
  if (byte < 0x80) return byte;
  if (byte >= 0xC0) return static_cast<char16_t>(0x0410 + (byte - 0xC0));
  return kHighHalf[byte - 0x80];
}

Text LowerCase1251(Text text) {
  for (char& c : text) c = static_cast<char>(LowerByte(static_cast<std::uint8_t>(c)));
  return text;
}

}  // namespace romprog
