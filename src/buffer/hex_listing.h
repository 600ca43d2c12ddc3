// The hex listing of the buffer window: one row per 8 bytes of the active part.
#pragma once

#include <cstdint>

#include "shell/app.h"

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

// Creates the list with its first column and grid colour (start-up, before
// the row editor's fields) and then the remaining columns (after them).
void CreateListing(App& app);
void AddListingColumns(App& app);

// Rebuilds the whole listing from the buffer for the chip type now selected.
void RefreshListing(App& app);

// Rewrites the byte cells and the Ascii cell of one row from the buffer.
void RefreshListingRow(App& app, int row);

}  // namespace romprog
