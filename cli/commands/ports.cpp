// romtool ports: the serial ports present, one a line.
#include "cli/commands/commands.h"
#include "platform/system_serial_ports.h"

namespace romtool {

int PortsCommand(const Options&, const Streams& streams) {
  const std::vector<std::string> ports = romprog::ListSystemPorts();
  for (const std::string& port : ports) std::fprintf(streams.out, "%s\n", port.c_str());
  if (ports.empty()) std::fprintf(streams.err, "romtool: no serial ports found\n");
  return kSuccess;
}

}  // namespace romtool
