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

}  // namespace romprog
