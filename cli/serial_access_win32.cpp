#include <windows.h>

#include "cli/serial_access.h"
#include "core/protocol/line_settings.h"
#include "platform/win32/win32_serial_port.h"

namespace romtool {
namespace {

constexpr int kHighestComPort = 256;

}  // namespace

std::vector<std::string> ListPorts() {
  std::vector<std::string> ports;
  for (int n = 1; n <= kHighestComPort; ++n) {
    const std::string name = romprog::PortName(n);
    const std::string path = "\\\\.\\" + name;
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) continue;
    CloseHandle(handle);
    ports.push_back(name);
  }
  return ports;
}

// The latency timer of a USB adapter is set in its driver's settings, not by
// the program (see the README).
romprog::OpenedPort OpenPort(const std::string& name, std::string& notes) {
  const romprog::LineSettings settings = romprog::ProgrammerLine(name);
  romprog::OpenedPort port = romprog::win32::OpenSerialPort(settings);
  if (!port.port) return port;
  notes = "opened " + name + " with the settings text " + romprog::SettingsText(settings) +
          ", RTS by the program, no flow control\n";
  return port;
}

}  // namespace romtool
