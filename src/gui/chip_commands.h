// Buttons 4 to 7 of the control window, and the notice that ends a command.
#pragma once

#include "gui/app.h"

namespace romprog {

void BlankCheck(App& app);
void WriteChip(App& app);
void ReadChip(App& app);
void CompareChip(App& app);
void CompletionNotice(App& app);

}  // namespace romprog
