// The serial line as the chip commands see it. Win32 and POSIX implement it;
// tests use the device model in-process.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace romprog {

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  virtual void SetRts(bool on) = 0;
  // Sends one byte; false when the write failed or timed out.
  virtual bool SendByte(std::uint8_t byte) = 0;
  // Waits up to timeoutMs for one byte (the implementation may return earlier
  // without one, e.g. at the end of a driver time-out slice); true with a byte.
  virtual bool ReadByte(std::uint8_t& byte, int timeoutMs) = 0;
};

// Opens ports and keeps time for the protocol.
class SerialPorts {
 public:
  virtual ~SerialPorts() = default;
  // `settings` is the line settings text, e.g. "COM3:9600,N,8,1"; the device
  // opened is named by the text before the first ':'. nullptr when it cannot
  // be opened.
  virtual std::unique_ptr<SerialPort> Open(const std::string& settings) = 0;
  virtual void Pause(int milliseconds) = 0;
  virtual std::uint32_t TickCount() = 0;  // milliseconds, wraps
};

}  // namespace romprog
