#include "core/protocol/line_settings.h"

#include <cctype>
#include <vector>

namespace romprog {
namespace {

constexpr char kModeText[] = ":9600,N,8,1";

std::vector<std::string> SplitFields(const std::string& text) {
  std::vector<std::string> fields(1);
  for (char c : text) {
    if (c == ',') {
      fields.emplace_back();
    } else if (c != ' ') {
      fields.back() += c;
    }
  }
  return fields;
}

// A decimal number made of digits only, within [low, high].
std::optional<int> Number(const std::string& field, int low, int high) {
  if (field.empty() || field.size() > 7) return std::nullopt;
  int value = 0;
  for (char c : field) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

}  // namespace

std::string PortName(int number) {
  return "COM" + std::to_string(number);
}

std::string PortSelectorItem(int number) {
  return std::string(7, ' ') + PortName(number);
}

std::string LineSettingsText(const std::string& portName) {
  return portName + kModeText;
}

std::string DeviceOfSettings(const std::string& settings) {
  return settings.substr(0, settings.find(':'));
}

std::optional<LineMode> ParseLineMode(const std::string& settings) {
  const std::size_t colon = settings.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const std::vector<std::string> fields = SplitFields(settings.substr(colon + 1));
  if (fields.size() != 4 || fields[1].size() != 1) return std::nullopt;
  LineMode mode;
  const auto baud = Number(fields[0], 110, 4000000);
  const auto data = Number(fields[2], 5, 8);
  const auto stop = Number(fields[3], 1, 2);
  mode.parity = static_cast<char>(std::toupper(static_cast<unsigned char>(fields[1][0])));
  if (!baud || !data || !stop) return std::nullopt;
  if (std::string("NEOMS").find(mode.parity) == std::string::npos) return std::nullopt;
  mode.baud = *baud;
  mode.dataBits = *data;
  mode.stopBits = *stop;
  return mode;
}

}  // namespace romprog
