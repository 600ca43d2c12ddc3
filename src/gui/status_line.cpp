#include "gui/status_line.h"

#include <string>

#include "gui/control_ids.h"
#include "gui/texts.h"

namespace romprog {

int ProgressValue(int address, int activeSize) {
  const int divisor = activeSize / 100;
  return divisor > 0 ? address / divisor : 0;
}

Text Decimal(int value) {
  return std::to_string(value);
}

void ShowCell(App& app, int address, const Text& value) {
  app.ui.SetText(id::kStatusAddress, Decimal(address));
  app.ui.SetText(id::kStatusValue, value);
}

void ResetStatus(App& app) {
  app.ui.SetText(id::kStatusAddress, text::kNoValue);
  app.ui.SetText(id::kStatusValue, text::kNoValue);
  app.ui.SetState(id::kProgress, 0);
}

Text NotBlankMessage(int address, std::uint8_t value) {
  return text::kCell + Decimal(address) + text::kContains + Decimal(value) + text::kExpect255;
}

Text DiffersMessage(int address, std::uint8_t value, std::uint8_t expected) {
  return text::kCell + Decimal(address) + text::kContains + Decimal(value) + text::kExpect +
         Decimal(expected) + text::kExpectEnd;
}

Text NotProgrammedMessage(int address) {
  return text::kCell + Decimal(address) + text::kNotProgrammed;
}

}  // namespace romprog
