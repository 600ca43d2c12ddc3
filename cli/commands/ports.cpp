// romtool ports: the serial ports present, one a line: the name -p takes,
// then what tells the adapters apart (USB ids, maker and product, serial
// number, the by-id name or the Windows device name), where known.
#include "cli/commands/commands.h"
#include "platform/system_serial_ports.h"

namespace romtool {
namespace {

std::string Described(const romprog::PortFacts& port) {
  std::string line = port.name;
  const auto add = [&line](const std::string& before, const std::string& text) {
    if (!text.empty()) line += "  " + before + text;
  };
  if (!port.vendorId.empty()) add("", port.vendorId + ":" + port.productId);
  add("", port.maker + (port.maker.empty() || port.product.empty() ? "" : " ") + port.product);
  add("serial ", port.serial);
  add("", port.byId);
  add("", port.friendlyName);
  add("cannot open: ", port.problem);
  return line;
}

}  // namespace

int PortsCommand(const Options&, const Streams& streams) {
  const std::vector<romprog::PortFacts> ports = romprog::ListSystemPorts();
  for (const romprog::PortFacts& port : ports) {
    std::fprintf(streams.out, "%s\n", Described(port).c_str());
  }
  if (ports.empty()) std::fprintf(streams.err, "romtool: no serial ports found\n");
  return kSuccess;
}

}  // namespace romtool
