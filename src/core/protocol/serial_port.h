// The serial line as the chip commands see it, the opener that gives it and
// the clock the protocol keeps time by. Win32 and POSIX implement them; tests
// use the device model in-process.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/protocol/line_settings.h"

namespace romprog {

// What a port call came to.
enum class PortStatus {
  Ok,
  TimedOut,          // no byte within the time given
  NoDevice,          // nothing of that name to open
  Busy,              // held by another program
  PermissionDenied,  // the user may not open it
  DeviceGone,        // went away while open: unplugged, or its other end closed
  NotSerial,         // opens, but is no serial line: a file, /dev/null
  Failed,            // any other fault
};

// The status and, for a fault, the system's own words for it and what the
// user can do about it where the platform knows ("add yourself to group
// dialout").
struct PortResult {
  PortStatus status = PortStatus::Ok;
  std::string message;
  std::string advice;

  bool ok() const { return status == PortStatus::Ok; }
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // A line without modem control (a pseudo-terminal) refuses; the protocol
  // goes on without RTS then.
  virtual PortResult SetRts(bool on) = 0;
  virtual PortResult SendByte(std::uint8_t byte) = 0;
  // Waits up to timeoutMs for one byte (the implementation may return earlier
  // without one, e.g. at the end of a driver time-out slice): Ok with a byte,
  // TimedOut without one, another status when the line failed.
  virtual PortResult ReadByte(std::uint8_t& byte, int timeoutMs) = 0;
  // Drops what waits in the input queue: a byte the programmer sent after
  // the host stopped listening would pass for the reply to the next command.
  // A byte still on its way (in an adapter, behind its latency timer) comes
  // later all the same.
  virtual PortResult DiscardInput() = 0;
};

struct OpenedPort {
  std::unique_ptr<SerialPort> port;  // null unless result is Ok
  PortResult result;
};

// Opens the device `settings` names and puts its line into their mode, with
// an empty input queue. A device that is no serial line is NotSerial and
// gets no byte.
class PortOpener {
 public:
  virtual ~PortOpener() = default;
  virtual OpenedPort Open(const LineSettings& settings) = 0;
};

// Time as the protocol counts it.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Pause(int milliseconds) = 0;
  virtual std::uint32_t TickCount() = 0;  // milliseconds, wraps
};

// What a user is told about a port that failed: "COM3 is in use by another
// program", "/dev/ttyUSB0: permission denied; ...", with the system's words.
std::string DescribePortFault(const std::string& device, const PortResult& result);

}  // namespace romprog
