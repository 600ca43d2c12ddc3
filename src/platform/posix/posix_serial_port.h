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

// Opens the device a settings text names ("/dev/pts/3:9600,N,8,1") and applies
// its mode. nullptr when the device is not a path, cannot be opened or is held
// by another user of this class. When the line state cannot be read, the mode
// parsed or the state written back, the port is returned as it is.
// `tune`, when given, sees the descriptor once the port is held, before the
// mode is applied.
std::unique_ptr<SerialPort> OpenSerialPort(const std::string& settings,
                                           const std::function<void(int fd)>& tune = nullptr);

class SerialPorts : public romprog::SerialPorts {
 public:
  std::unique_ptr<SerialPort> Open(const std::string& settings) override {
    return OpenSerialPort(settings);
  }
  void Pause(int milliseconds) override;
  std::uint32_t TickCount() override;
};

}  // namespace romprog::posix
