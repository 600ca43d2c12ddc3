#include "cli/base/same_file.h"

#include <filesystem>

#include "cli/base/standard_streams.h"
#include "platform/file_io.h"
#include "platform/system_serial_ports.h"

namespace romtool {
namespace {

// One file by its identity, or one name for a file not made yet.
bool Same(const std::string& a, const std::string& b) {
  if (romprog::SameFile(a, b)) return true;
  std::error_code failed;
  const std::filesystem::path first = std::filesystem::weakly_canonical(a, failed);
  if (failed) return a == b;
  const std::filesystem::path second = std::filesystem::weakly_canonical(b, failed);
  return failed ? a == b : first == second;
}

}  // namespace

std::string PortGivenTwice(const std::vector<std::string>& ports) {
  for (std::size_t k = 1; k < ports.size(); ++k) {
    for (std::size_t j = 0; j < k; ++j) {
      if (!romprog::SamePortName(ports[j], ports[k]) && !romprog::SameFile(ports[j], ports[k]))
        continue;
      const std::string both =
          ports[j] == ports[k] ? ports[k] : ports[j] + " and " + ports[k] + ", one port,";
      return "-p " + both +
             " given twice: a programmer takes one job at a time; give each port "
             "once";
    }
  }
  return std::string();
}

std::string OutputClash(const std::vector<std::string>& inputs,
                        const std::vector<std::string>& outputs) {
  for (std::size_t k = 0; k < outputs.size(); ++k) {
    const std::string& output = outputs[k];
    if (IsStandardStream(output)) continue;
    for (const std::string& input : inputs) {
      if (!IsStandardStream(input) && Same(input, output)) {
        return "the output " + output + " is the input " + input +
               ": writing it would destroy what is read; nothing written, name another output";
      }
    }
    for (std::size_t j = 0; j < k; ++j) {
      if (!IsStandardStream(outputs[j]) && Same(outputs[j], output)) {
        return "the outputs " + outputs[j] + " and " + output +
               " are one file: the second would replace the first; nothing written, name "
               "another output";
      }
    }
  }
  return std::string();
}

}  // namespace romtool
