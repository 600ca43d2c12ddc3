// Buttons 1 and 2 of the control window.
#pragma once

#include "shell/app.h"

namespace romprog {

void OpenImageFile(App& app);
void SaveImageFile(App& app);

}  // namespace romprog
