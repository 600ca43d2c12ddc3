// The three chip types of the 27C family the programmer takes.
#pragma once

#include <array>
#include <cstdint>

#include "core/text.h"

namespace romprog {

struct ChipType {
  const char* name;  // as the selector shows it after its leading blanks
  int activeSize;
  std::uint8_t chipCode;  // activeSize / 256
};

inline constexpr std::array<ChipType, 3> kChipTypes{{
    {"27C64", 8192, 0x20},
    {"27C128", 16384, 0x40},
    {"27C256", 32768, 0x80},
}};

// How a name is held against the chip types' names: the selector's own
// text exactly, a name typed on a command line in either letter case.
enum class LetterCase { Exact, Either };

// The chip type `name` names ("27C256"; with LetterCase::Either "27c256"
// too), or nullptr.
const ChipType* FindChipType(const Text& name, LetterCase letterCase = LetterCase::Exact);

}  // namespace romprog
