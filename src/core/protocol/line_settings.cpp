#include "core/protocol/line_settings.h"

namespace romprog {

std::string PortName(int number) {
  return "COM" + std::to_string(number);
}

LineSettings ProgrammerLine(const std::string& device) {
  LineSettings settings;
  settings.device = device;
  return settings;
}

std::string SettingsText(const LineSettings& settings) {
  return settings.device + ":" + std::to_string(settings.baud) + "," + settings.parity + "," +
         std::to_string(settings.dataBits) + "," + std::to_string(settings.stopBits);
}

}  // namespace romprog
