#include "cli/images/pack_part.h"

#include "core/image.h"
#include "core/number_text.h"

namespace romtool {

bool ParsePart(const std::string& text, PackPart& part, std::string& error) {
  part = PackPart();
  std::string rest = text;
  // What follows the last @ is the cell unless it reads as the rest of a
  // file name ("roms@home/a.bin", "a@b.hex:base=auto").
  const std::size_t at = rest.rfind('@');
  if (at != std::string::npos && rest.find_first_of("./\\:", at) == std::string::npos) {
    const std::optional<std::uint32_t> cell = romprog::NumberFromText(rest.substr(at + 1));
    if (!cell || *cell >= static_cast<std::uint32_t>(romprog::kBufferSize)) {
      error = "part " + text + ": '" + rest.substr(at + 1) + "' after @ is no cell (0x2000, 8k)";
      return false;
    }
    part.cell = static_cast<int>(*cell);
    rest.erase(at);
  }
  const std::size_t base = rest.rfind(":base=");
  if (base != std::string::npos) {
    const std::string value = rest.substr(base + 6);
    part.autoBase = value == "auto";
    part.base = romprog::NumberFromText(value);
    if (!part.autoBase && !part.base) {
      error = "part " + text + ": base= takes an address (0xE000, $E000, E000h) or auto, not '" +
              value + "'";
      return false;
    }
    rest.erase(base);
  }
  part.path = rest;
  if (rest.empty()) error = "part " + text + " names no file";
  return !rest.empty();
}

}  // namespace romtool
