#include "cli/command_line/chip_names.h"

#include "core/chip_types.h"

namespace romtool {

std::string ChipNames(const std::string& between, const std::string& beforeLast) {
  std::string text;
  for (std::size_t k = 0; k < romprog::kChipTypes.size(); ++k) {
    if (k > 0) text += k + 1 == romprog::kChipTypes.size() ? beforeLast : between;
    text += romprog::kChipTypes[k].name;
  }
  return text;
}

std::string ChipNamesAndSizes() {
  std::string text;
  for (const romprog::ChipType& type : romprog::kChipTypes) {
    if (!text.empty()) text += ", ";
    text += std::string(type.name) + " (" + std::to_string(type.activeSize / 1024) + " KiB)";
  }
  return text;
}

}  // namespace romtool
