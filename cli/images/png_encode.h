// A picture as PNG bytes, by libpng.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/rescue/cell_map.h"

namespace romtool {

// `picture` as a PNG (with a palette when it has 256 colours or fewer, else
// 8-bit RGB) with `texts` (keyword, text) in tEXt chunks;
// false with `error` set when libpng refuses.
bool EncodePng(const romprog::Picture& picture,
               const std::vector<std::pair<std::string, std::string>>& texts,
               std::vector<std::uint8_t>& png, std::string& error);

}  // namespace romtool
