// The chip-command buttons of the control window (blank check, write, read,
// compare), and the notice that ends a command.
#pragma once

#include "gui/app.h"

namespace romprog {

void BlankCheck(App& app);
void WriteChip(App& app);
void ReadChip(App& app);
void CompareChip(App& app);
void CompletionNotice(App& app);

}  // namespace romprog
