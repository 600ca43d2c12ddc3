// The machine's serial ports as romtool names them: device paths on Linux
// (/dev/ttyUSB0), COM names on Windows (COM3).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/protocol/serial_port.h"

namespace romtool {

// Ports present that open: Linux /dev/ttyUSB*, /dev/ttyACM* and the
// /dev/ttyS* with a UART behind them; Windows COM1 to COM256.
std::vector<std::string> ListPorts();

// Opens `name` with the programmer's line settings (9600 8N1, no flow
// control, RTS by the program). On Linux it also asks for low-latency mode.
// `notes` receives a line per step for -v. No port when it does not open;
// the result says why.
romprog::OpenedPort OpenPort(const std::string& name, std::string& notes);

}  // namespace romtool
