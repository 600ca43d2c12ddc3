#include "platform/system_serial_ports.h"

#include "platform/win32/win32_serial_port.h"

namespace romprog {

std::unique_ptr<PortOpener> MakeSystemPortOpener() {
  return std::make_unique<win32::PortOpener>();
}

std::unique_ptr<Clock> MakeSystemClock() {
  return std::make_unique<win32::TickClock>();
}

}  // namespace romprog
