// Temporary: a machine without serial ports, until the Win32 ports land.
#include "programmer/system_serial_ports.h"

namespace romprog {
namespace {

class NoSerialPorts : public SerialPorts {
 public:
  std::unique_ptr<SerialPort> Open(const std::string&) override { return nullptr; }
  void Pause(int) override {}
  std::uint32_t TickCount() override { return 0; }
};

}  // namespace

std::unique_ptr<SerialPorts> MakeSystemSerialPorts() {
  return std::make_unique<NoSerialPorts>();
}

}  // namespace romprog
