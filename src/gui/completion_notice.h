// The notice that ends a chip command that ran to its end, and the file
// commands that load or save.
#pragma once

#include "gui/app.h"

namespace romprog {

// "OK !!!", then the status line back to its rest.
void CompletionNotice(App& app);

}  // namespace romprog
