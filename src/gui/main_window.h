// The control window: file and chip buttons, selectors, status line, toggles
// and the help panel that folds out below.
#pragma once

#include "gui/app.h"

namespace romprog {

constexpr int kMainClientWidth = 335;
constexpr int kMainClientHeight = 169;
constexpr int kHelpPanelHeight = 128;
constexpr std::uint32_t kMainWindowStyle = 0x00CA0000;  // caption, system menu, minimise box

// Opens the control window and creates its controls in Tab order; probes the ports.
void BuildMainWindow(App& app);

}  // namespace romprog
