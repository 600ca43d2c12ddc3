// Finding the serial ports and opening the chosen one.
#pragma once

#include <string>

#include "gui/app.h"

namespace romprog {

// Ports offered in the port selector: COM1 to COM10.
constexpr int kLastPortNumber = 10;

// "       COM3": how the port selector lists port 3.
std::string PortSelectorItem(int number);

// Appends "       COMn" for every COM1..COM10 that opens; selects the first.
void ProbePorts(App& app);
// Closes any open port and opens the selected one; shows a message when it
// cannot be opened (programmerPort stays null then).
void OpenProgrammerPort(App& app);

}  // namespace romprog
