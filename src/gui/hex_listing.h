// The hex listing of the buffer window: one row per 8 bytes of the active part.
#pragma once

#include <cstdint>

#include "core/listing_row.h"
#include "gui/app.h"

namespace romprog {

// Creates the list with its first column and grid colour (start-up, before
// the row editor's fields) and then the remaining columns (after them).
void CreateListing(App& app);
void AddListingColumns(App& app);

// Rebuilds the whole listing from the buffer for the chip type now selected.
void RefreshListing(App& app);

// Rewrites the byte cells and the Ascii cell of one row from the buffer.
void RefreshListingRow(App& app, int row);

}  // namespace romprog
