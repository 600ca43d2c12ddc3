#include "core/hex_text.h"

namespace romprog {

unsigned ReadHexField(const char* text, std::size_t length) {
  unsigned value = 0;
  for (std::size_t i = 0; i < length; ++i) {
    const int digit = HexDigitValue(text[i]);
    if (digit < 0) break;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return value;
}

std::string HexText(unsigned value, int digits) {
  std::string text(static_cast<std::size_t>(digits > 0 ? digits : 0), '0');
  for (int k = digits - 1; k >= 0; --k, value >>= 4)
    text[static_cast<std::size_t>(k)] = HexDigit(value);
  return text;
}

std::string HexNumber(std::uint64_t value, int digits) {
  constexpr int kMost = 16;  // digits of the largest value
  int needed = 1;
  while (needed < kMost && (value >> (4 * needed)) != 0) ++needed;
  std::string text = "0x";
  for (int k = digits > needed ? digits - 1 : needed - 1; k >= 0; --k) {
    text += k < kMost ? HexDigit(static_cast<unsigned>(value >> (4 * k))) : '0';
  }
  return text;
}

}  // namespace romprog
