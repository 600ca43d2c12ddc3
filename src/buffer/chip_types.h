// The three chip types and how the ROM-type selector sets the active size.
#pragma once

#include <array>
#include <cstdint>

#include "shell/app.h"

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

// The selector item of a chip type: seven blanks, then the name.
Text ChipSelectorItem(const ChipType& type);

// The chip type whose name equals `name` exactly, or nullptr.
const ChipType* FindChipType(const Text& name);

// Re-reads the ROM-type selector: sets the chip name always, the active size
// and ChipCode when the name is one of the three.
void ApplyChipType(App& app);

}  // namespace romprog
