#include "platform/system_serial_ports.h"

#include "core/protocol/line_settings.h"
#include "platform/win32/win32_serial_port.h"

namespace romprog {
namespace {

constexpr int kHighestComPort = 256;

}  // namespace

std::unique_ptr<PortOpener> MakeSystemPortOpener() {
  return std::make_unique<win32::PortOpener>();
}

std::unique_ptr<Clock> MakeSystemClock() {
  return std::make_unique<win32::TickClock>();
}

// The latency timer of a USB adapter is set in its driver's settings, not by
// the program.
SystemPort OpenSystemPort(const std::string& name) {
  SystemPort port;
  const LineSettings settings = ProgrammerLine(name);
  port.opened = win32::OpenSerialPort(settings);
  port.setup =
      "with the settings text " + SettingsText(settings) + ", RTS by the program, no flow control";
  return port;
}

std::vector<std::string> ListSystemPorts() {
  win32::PortOpener opener;
  std::vector<std::string> names;
  for (int n : ComPortsThatOpen(opener, kHighestComPort)) names.push_back(PortName(n));
  return names;
}

}  // namespace romprog
