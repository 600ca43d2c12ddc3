// The chip-command buttons of the control window: blank check, write, read,
// compare.
#pragma once

#include "gui/app.h"

namespace romprog {

void BlankCheck(App& app);
void WriteChip(App& app);
void ReadChip(App& app);
void CompareChip(App& app);

}  // namespace romprog
