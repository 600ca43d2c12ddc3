#include "core/file_extension.h"

#include <array>
#include <cstdint>
#include <utility>

namespace romprog {
namespace {

// Code page 1251 capitals outside the two contiguous alphabets, and their
// small letters.
constexpr std::array<std::pair<std::uint8_t, std::uint8_t>, 15> kOtherCapitals{{
    {0x80, 0x90},  // Ђ ђ
    {0x81, 0x83},  // Ѓ ѓ
    {0x8A, 0x9A},  // Љ љ
    {0x8C, 0x9C},  // Њ њ
    {0x8D, 0x9D},  // Ќ ќ
    {0x8E, 0x9E},  // Ћ ћ
    {0x8F, 0x9F},  // Џ џ
    {0xA1, 0xA2},  // Ў ў
    {0xA3, 0xBC},  // Ј ј
    {0xA5, 0xB4},  // Ґ ґ
    {0xA8, 0xB8},  // Ё ё
    {0xAA, 0xBA},  // Є є
    {0xAF, 0xBF},  // Ї ї
    {0xB2, 0xB3},  // І і
    {0xBD, 0xBE},  // Ѕ ѕ
}};

std::uint8_t LowerChar(std::uint8_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF))
    return static_cast<std::uint8_t>(c + 0x20);
  for (const auto& [upper, lower] : kOtherCapitals) {
    if (c == upper) return lower;
  }
  return c;
}

}  // namespace

Text LowerCase1251(Text text) {
  for (char& c : text) c = static_cast<char>(LowerChar(static_cast<std::uint8_t>(c)));
  return text;
}

Text FileExtension(const Text& name) {
  const auto mark = name.find_last_of("./\\");
  if (mark == Text::npos || name[mark] != '.') return {};
  return LowerCase1251(name.substr(mark + 1));
}

Text SaveFileName(const Text& chosen, bool intelHex) {
  const char* extension = intelHex ? "hex" : "bin";
  if (FileExtension(chosen) == extension) return chosen;
  return chosen + "." + extension;
}

}  // namespace romprog
