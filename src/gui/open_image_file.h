// The open button of the control window.
#pragma once

#include <cstdint>

#include "gui/app.h"

namespace romprog {

void OpenImageFile(App& app);

// The warning after a raw image larger than the chip: both sizes and the
// number of bytes loaded.
Text OversizeText(int activeSize, std::int64_t fileSize);
// The result of an Intel HEX load.
Text LoadedText(int loadedExtent);

}  // namespace romprog
