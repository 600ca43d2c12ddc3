#include "core/number_text.h"

#include "core/hex_text.h"

namespace romprog {
namespace {

// `digits` (at least one) in `radix`, none past 32 bits.
std::optional<std::uint32_t> Digits(const std::string& digits, unsigned radix) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    const int digit = radix == 16 ? HexDigitValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
    if (digit < 0) return std::nullopt;
    value = value * radix + static_cast<unsigned>(digit);
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace

std::optional<std::uint32_t> NumberFromText(const std::string& text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return Digits(text.substr(2), 16);
  }
  if (text.size() > 1 && text[0] == '$') return Digits(text.substr(1), 16);
  const char last = text.empty() ? '\0' : text.back();
  const std::string body = text.substr(0, text.empty() ? 0 : text.size() - 1);
  if (last == 'h' || last == 'H') return Digits(body, 16);
  if (last == 'k' || last == 'K') {
    const std::optional<std::uint32_t> kib = Digits(body, 10);
    if (!kib || *kib > 0xFFFFFFFFu / 1024) return std::nullopt;
    return *kib * 1024;
  }
  return Digits(text, 10);
}

}  // namespace romprog
