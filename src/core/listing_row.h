// The text of one row of the hex listing: its address, eight byte cells and
// the Ascii cell, as the buffer window and romtool's dump show them.
#pragma once

#include <cstdint>

#include "core/text.h"

namespace romprog {

constexpr int kBytesPerRow = 8;

// "      01A8": six blanks, the address as 4 upper-case hex digits.
Text AddressCell(int address);
// "   3F": three blanks, the byte as 2 upper-case hex digits.
Text ByteCell(std::uint8_t value);
// The character a byte shows as in the Ascii column: a blank below 0x20,
// else the byte itself (a Windows-1251 character).
char AsciiChar(std::uint8_t value);
// "  " followed by the eight characters of the row starting at `row`.
Text AsciiCell(const std::uint8_t* row);

}  // namespace romprog
