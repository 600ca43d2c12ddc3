// The buffer window: the hex listing and, under it, the row editor.
#pragma once

#include "gui/app.h"

namespace romprog {

constexpr int kBufferClientWidth = 502;
constexpr int kBufferClientHeight = 570;
constexpr int kBufferWindowRightMargin = 515;  // left edge = screen width - this

// Opens the buffer window hidden and creates its controls; sets bufferWindowOpen.
void OpenBufferWindow(App& app);

}  // namespace romprog
