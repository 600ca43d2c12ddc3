// Hexadecimal text: the one digit reader and the one writer every file
// format, listing and message of the program goes through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace romprog {

// The value of one hexadecimal digit, either case; -1 for any other character.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The value of the longest run of hex digits at the start of `text` (at most
// `length` characters); 0 when it does not start with one. A longer run
// keeps its low 32 bits.
unsigned ReadHexField(const char* text, std::size_t length);

// The upper-case digit of the low four bits of `value`.
constexpr char HexDigit(unsigned value) {
  return "0123456789ABCDEF"[value & 0xF];
}

// The low `digits` digits of `value`, upper-case, the highest first: "01A8".
std::string HexText(unsigned value, int digits);

// `value` as messages, listings and logs write a number in hex: 0x and at
// least `digits` upper-case digits, more when it needs them: "0x01A8",
// "0x10000".
std::string HexNumber(std::uint64_t value, int digits);

}  // namespace romprog
