// The serial ports and the clock of the machine the program runs on.
#pragma once

#include <memory>

#include "core/protocol/serial_port.h"

namespace romprog {

// Win32 ports on Windows, POSIX ports elsewhere.
std::unique_ptr<PortOpener> MakeSystemPortOpener();
std::unique_ptr<Clock> MakeSystemClock();

}  // namespace romprog
