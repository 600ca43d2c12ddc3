#include "core/protocol/line_settings.h"
#include "platform/system_serial_ports.h"

namespace romprog {

std::vector<int> ComPortsThatOpen(PortOpener& opener, int highest) {
  std::vector<int> numbers;
  for (int n = 1; n <= highest; ++n) {
    if (opener.Open(ProgrammerLine(PortName(n))).port) numbers.push_back(n);
  }
  return numbers;
}

}  // namespace romprog
