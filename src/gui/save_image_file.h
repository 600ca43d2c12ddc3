// The save button of the control window.
#pragma once

#include "gui/app.h"

namespace romprog {

void SaveImageFile(App& app);

}  // namespace romprog
