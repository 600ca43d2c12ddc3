// Serial ports of a POSIX system, named by their device path
// ("/dev/ttyUSB0", "/dev/pts/3"): raw 9600 8N1 without flow control, RTS
// driven by the program. Used by the command-line tool and by the tests that
// talk to the emulator over a pseudo-terminal.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/protocol/serial_port.h"

namespace romprog::posix {

// Opens the device `settings` names ("/dev/pts/3"), applies their mode and
// empties its input queue. No port when the device is not a path
// (NoDevice), cannot be opened (what errno says), is no terminal (NotSerial:
// a file, /dev/null; opened without truncating, nothing written) or is held
// by another user of this class (Busy: each holds an exclusive flock on it).
// When the mode cannot be applied, the port is returned as it is. `tune`,
// when given, sees the descriptor once the port is held, before the mode is
// applied.
OpenedPort OpenSerialPort(const LineSettings& settings,
                          const std::function<void(int fd)>& tune = nullptr);

class PortOpener : public romprog::PortOpener {
 public:
  OpenedPort Open(const LineSettings& settings) override { return OpenSerialPort(settings); }
};

// Monotonic milliseconds.
class SteadyClock : public Clock {
 public:
  void Pause(int milliseconds) override;
  std::uint32_t TickCount() override;
};

}  // namespace romprog::posix
