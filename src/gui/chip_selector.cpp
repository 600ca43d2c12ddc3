#include "gui/chip_selector.h"

#include "gui/control_ids.h"

namespace romprog {

Text ChipSelectorItem(const ChipType& type) {
  return Text(7, ' ') + type.name;
}

void ApplyChipType(App& app) {
  Text selected = app.ui.GetText(id::kChipSelector);
  selected.erase(0, selected.find_first_not_of(' '));
  app.state.chipName = selected;
  if (const ChipType* type = FindChipType(selected)) {
    app.state.activeSize = type->activeSize;
    app.state.chipCode = type->chipCode;
  }
}

}  // namespace romprog
