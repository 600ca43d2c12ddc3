// The ROM-type selector of the control window and how it sets the active size.
#pragma once

#include "core/chip_types.h"
#include "gui/app.h"

namespace romprog {

// The selector item of a chip type: seven blanks, then the name.
Text ChipSelectorItem(const ChipType& type);

// Re-reads the ROM-type selector: sets the chip name always, the active size
// and chipCode when the name is one of the three.
void ApplyChipType(App& app);

}  // namespace romprog
