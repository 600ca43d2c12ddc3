// Finding the serial ports and opening the chosen one.
#pragma once

#include "gui/app.h"

namespace romprog {

// Appends "       COMn" for every COM1..COM10 that opens; selects the first.
void ProbePorts(App& app);
// Closes any open port and opens the selected one; shows a message when it
// cannot be opened (programmerPort stays null then).
void OpenProgrammerPort(App& app);

}  // namespace romprog
