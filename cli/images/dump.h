// `romtool dump`: the rows of the window program's hex listing, as text for a
// terminal. The Ascii column holds Windows-1251 characters; a terminal wants
// UTF-8, so each is converted, and the bytes that have no printable
// character there (0x7F and the unassigned 0x98) show as '.'.
#pragma once

#include <cstdint>
#include <string>

namespace romtool {

// The UTF-8 text of one character of the listing's Ascii column (itself a
// Windows-1251 byte: a blank below 0x20, else the byte).
std::string TerminalChar(char listingChar);

// One listing row: address cell, eight byte cells, Ascii cell, then "\n".
std::string DumpRow(const std::uint8_t* bytes, int address);

// Every row of the first `activeSize` bytes.
std::string DumpRows(const std::uint8_t* image, int activeSize);

}  // namespace romtool
