// The picture of a chip's cells (core/rescue/cell_map.h) saved as a PNG, and
// its legend told in words, as the picture itself holds none: the swatches
// under the grid stand in the order the words give them.
#pragma once

#include <cstdio>
#include <string>

#include "core/rescue/cell_map.h"

namespace romtool {

// The picture of `input` into the PNG file `path`; false with `error` set.
bool SaveCellMap(const std::string& path, const romprog::MapInput& input, std::string& error);

// What the picture at `path` shows: its layout and each colour with the
// count of its cells.
std::string MapLegend(const std::string& path, const romprog::MapInput& input);

}  // namespace romtool
