// The serial ports and the clock of the machine the program runs on: device
// paths on POSIX systems (/dev/ttyUSB0), COM names on Windows (COM3). One
// header, a POSIX and a Win32 implementation behind it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/protocol/serial_port.h"

namespace romprog {

// Win32 ports on Windows, POSIX ports elsewhere.
std::unique_ptr<PortOpener> MakeSystemPortOpener();
std::unique_ptr<Clock> MakeSystemClock();

// What the driver made of the request to hand each received byte on at
// once instead of batching it (Linux ASYNC_LOW_LATENCY; USB adapters then
// drop their latency timer to 1 ms).
enum class LowLatency {
  SwitchedOn,    // the flag was off and is on now
  AlreadyOn,     // the driver had it on
  Refused,       // the driver has no such setting (a pty) or said no
  NotAvailable,  // a POSIX system without the setting
  NotAsked,      // Windows: the latency timer is a setting of the adapter's driver
};

struct SystemPort {
  OpenedPort opened;
  std::string setup;  // how the line was set up: "at 9600 baud, ..."
  LowLatency lowLatency = LowLatency::NotAsked;
  std::string refusal;  // the driver's words when Refused
};

// Opens a port by the name a user gives: a device path, one relative to the
// working folder, a bare name in /dev/serial/by-id or in /dev ("ttyUSB0")
// on POSIX systems; "COM3"
// on Windows. The programmer's line settings, an empty input queue, and on
// Linux the low-latency request.
SystemPort OpenSystemPort(const std::string& name);

// The numbers n from 1 to `highest` whose port "COMn" opens through `opener`
// as a serial port, ascending; each is closed again at once.
std::vector<int> ComPortsThatOpen(PortOpener& opener, int highest);

// What tells one adapter from another when several are plugged in.
struct PortFacts {
  std::string name;                 // as OpenSystemPort takes it
  std::string vendorId, productId;  // USB ids, 4 hex digits; empty when not known
  std::string maker, product, serial;
  std::string byId;          // Linux: the /dev/serial/by-id/ link to the port, when one is
  std::string friendlyName;  // Windows: the device's name in the Device Manager
  std::string problem;       // why the user may not open it ("permission denied; ..."), if so
};

// The ports present that open, by the names OpenSystemPort takes: Linux
// /dev/ttyUSB*, /dev/ttyACM* and the /dev/ttyS* with a UART behind them;
// Windows COM1 to COM256. On Linux ROMPROG_DEV and ROMPROG_SYSFS stand for
// /dev and /sys when set (as the launcher takes them).
std::vector<PortFacts> ListSystemPorts();

// How a user sets the latency timer of the USB adapter behind port `name` to
// 1 ms, in one line; empty where the system shows no such timer for it (a
// pseudo-terminal, a UART on the board). Linux: the adapter's sysfs
// latency_timer, found under ROMPROG_SYSFS when set; Windows: the setting in
// the Device Manager.
std::string LatencyTimerFix(const std::string& name);

// Whether two port names name one port: Windows names its ports in any
// letter case (COM3 is com3); POSIX paths are compared as they are.
bool SamePortName(const std::string& a, const std::string& b);

}  // namespace romprog
