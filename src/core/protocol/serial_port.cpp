#include "core/protocol/serial_port.h"

namespace romprog {

std::string DescribePortFault(const std::string& device, const PortResult& result) {
  const std::string why = result.message.empty() ? std::string() : " (" + result.message + ")";
  const std::string advice = result.advice.empty() ? std::string() : "; " + result.advice;
  switch (result.status) {
    case PortStatus::Ok:
      return device + " works";
    case PortStatus::TimedOut:
      return device + " timed out" + why;
    case PortStatus::NoDevice:
      return "no port " + device + why;
    case PortStatus::Busy:
      return device + " is in use by another program" + why;
    case PortStatus::PermissionDenied:
      return device + ": permission denied" + advice + why;
    case PortStatus::DeviceGone:
      return device + " has gone away" + why;
    case PortStatus::NotSerial:
      return device + " is not a serial port";
    case PortStatus::Failed:
      break;
  }
  return device + " failed" + why;
}

}  // namespace romprog
