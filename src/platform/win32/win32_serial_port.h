// The COM ports of Windows, opened with the fixed line settings: no sharing,
// driver queues of one byte, the mode string's 9600 8N1, RTS driven by the
// program, no output flow control, and read time-outs that bound every
// one-byte read to a short slice.
#pragma once

#include <memory>
#include <string>

#include "core/protocol/serial_port.h"

namespace romprog::win32 {

// Opens "\\.\" + the device of `settings` ("COM3"), then applies the
// settings in order: queue sizes, line state read, their mode text
// ("COM3:9600,N,8,1"), RTS and CTS, line state written, time-outs; last it
// empties the input queue. A failure after the line state was read skips the
// rest but keeps the port. No port when the device does not open (the result
// says why; a port held by another program is Busy) or has no line state
// (NotSerial).
OpenedPort OpenSerialPort(const LineSettings& settings);

class PortOpener : public romprog::PortOpener {
 public:
  OpenedPort Open(const LineSettings& settings) override { return OpenSerialPort(settings); }
};

// GetTickCount, and pauses at 1 ms timer resolution.
class TickClock : public Clock {
 public:
  void Pause(int milliseconds) override;
  std::uint32_t TickCount() override;
};

}  // namespace romprog::win32
