// Windows-1251, the code page of every text the program keeps: the one table
// from its bytes to Unicode, and the case rule built on it.
#pragma once

#include <cstdint>

#include "core/text.h"

namespace romprog {

// The Unicode character of a Windows-1251 byte. 0x98, which the code page
// leaves unassigned, stands for U+0098 as Windows converts it.
char16_t Unicode1251(std::uint8_t byte);

// Lower-cases Windows-1251 text as CharLowerA does with that code page: the
// Latin and Cyrillic capitals become their small letters, all else stays.
Text LowerCase1251(Text text);

}  // namespace romprog
