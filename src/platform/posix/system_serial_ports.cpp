// On POSIX systems the ports are named by their device path; "COMn" names
// nothing here, so the port probe finds none.
#include "platform/system_serial_ports.h"

#include "platform/posix/posix_serial_port.h"

namespace romprog {

std::unique_ptr<PortOpener> MakeSystemPortOpener() {
  return std::make_unique<posix::PortOpener>();
}

std::unique_ptr<Clock> MakeSystemClock() {
  return std::make_unique<posix::SteadyClock>();
}

}  // namespace romprog
