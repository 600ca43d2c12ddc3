// The COM ports of Windows, opened with the fixed line settings: no sharing,
// driver queues of one byte, the mode string's 9600 8N1, RTS driven by the
// program, no output flow control, and read time-outs that bound every
// one-byte read to a short slice.
#pragma once

#include <memory>
#include <string>

#include "core/protocol/serial_port.h"

namespace romprog::win32 {

// Opens "\\.\" + the text before the first ':' of `settings`
// ("COM3:9600,N,8,1"), then applies the settings in order: queue sizes, line
// state read, mode string, RTS and CTS, line state written, time-outs. A
// failure on the way skips the rest but keeps the port. nullptr when the
// device does not open.
std::unique_ptr<SerialPort> OpenSerialPort(const std::string& settings);

class SystemSerialPorts : public SerialPorts {
 public:
  std::unique_ptr<SerialPort> Open(const std::string& settings) override {
    return OpenSerialPort(settings);
  }
  // At 1 ms timer resolution.
  void Pause(int milliseconds) override;
  std::uint32_t TickCount() override;
};

}  // namespace romprog::win32
