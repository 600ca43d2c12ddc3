// The fields under the hex listing that edit one row of the buffer.
#pragma once

#include <cstdint>

#include "gui/app.h"

namespace romprog {

// The value a byte field stands for: blanks at both ends dropped, then the
// leading run of hex digits read as an unsigned number (0 when there is
// none), of which the low eight bits count.
std::uint8_t ParseByteField(const Text& field);

// Copies the selected row into the fields and enables "Ввод"; with no row
// selected, empties the fields and disables it.
void LoadRowIntoEditor(App& app);
// Stores the eight fields into the buffer at editRow; false when no row of
// the listing is being edited. Showing the stored row is the caller's part.
bool ApplyRowEdit(App& app);
// Empties the fields and disables "Ввод".
void ClearRowEditor(App& app);

}  // namespace romprog
