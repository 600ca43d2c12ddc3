#include "cli/images/port_files.h"

#include <algorithm>

#include "cli/base/standard_streams.h"

namespace romtool {

std::string PortLabel(const std::string& port) {
  std::string label = port.rfind("/dev/", 0) == 0 ? port.substr(5) : port;
  std::replace(label.begin(), label.end(), '/', '-');
  std::replace(label.begin(), label.end(), '\\', '-');
  return label;
}

std::string OutputFileFor(const std::string& name, const std::string& port, int n, bool several) {
  const std::string filled =
      Replaced(Replaced(name, "{port}", PortLabel(port)), "{n}", std::to_string(n));
  if (filled != name || !several) return filled;
  const std::size_t slash = name.find_last_of("/\\");
  const std::size_t dot = name.rfind('.');
  const bool hasExtension =
      dot != std::string::npos && dot > 0 && (slash == std::string::npos || dot > slash + 1);
  const std::size_t at = hasExtension ? dot : name.size();
  return name.substr(0, at) + "-" + PortLabel(port) + name.substr(at);
}

std::vector<std::string> PortFiles(const Options& options) {
  std::vector<std::string> files;
  for (std::size_t k = 0; k < options.ports.size(); ++k) {
    files.push_back(OutputFileFor(options.files[0], options.ports[k], static_cast<int>(k) + 1,
                                  options.ports.size() > 1));
  }
  return files;
}

}  // namespace romtool
