// The status line of the control window: the status address, the status
// value and the progress bar, as the chip commands drive them.
#pragma once

#include <cstdint>

#include "gui/app.h"

namespace romprog {

// address / (activeSize / 100), both integer divisions: 101 at the last cell
// of a 27C64, which the bar shows as full.
int ProgressValue(int address, int activeSize);

// Decimal, without leading zeros.
Text Decimal(int value);

// The status address and the status value.
void ShowCell(App& app, int address, const Text& value);
// "----" in both texts and the bar at 0: the line at rest.
void ResetStatus(App& app);

// The texts of the bad-cell messages.
Text NotBlankMessage(int address, std::uint8_t value);
Text DiffersMessage(int address, std::uint8_t value, std::uint8_t expected);
Text NotProgrammedMessage(int address);

}  // namespace romprog
