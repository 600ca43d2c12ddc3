// Start-up, the event loop and shutdown.
#pragma once

#include "gui/app.h"

namespace romprog {

// Builds both windows and fills the listing.
void StartUp(App& app);
// Handles one event; false when it was the request to end the program.
bool HandleEvent(App& app, const Event& event);
// Closes the control window, the port and the toolkit.
void ShutDown(App& app);
// StartUp, the loop until the control window is closed, ShutDown. Returns
// the exit code.
int RunProgram(Toolkit& ui, PortOpener& ports, Clock& clock);

}  // namespace romprog
