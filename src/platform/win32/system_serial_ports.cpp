#include "platform/system_serial_ports.h"

#include "platform/win32/win32_serial_port.h"

namespace romprog {

std::unique_ptr<SerialPorts> MakeSystemSerialPorts() {
  return std::make_unique<win32::SystemSerialPorts>();
}

}  // namespace romprog
