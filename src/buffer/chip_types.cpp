#include "buffer/chip_types.h"

#include "shell/control_ids.h"

namespace romprog {

Text ChipSelectorItem(const ChipType& type) {
  return Text(7, ' ') + type.name;
}

const ChipType* FindChipType(const Text& name) {
  for (const ChipType& type : kChipTypes) {
    if (name == type.name) return &type;
  }
  return nullptr;
}

void ApplyChipType(App& app) {
  Text selected = app.ui.GetText(id::kChipSelector);
  selected.erase(0, selected.find_first_not_of(' '));
  app.state.chipName = selected;
  if (const ChipType* type = FindChipType(selected)) {
    app.state.activeSize = type->activeSize;
    app.state.ChipCode = type->chipCode;
  }
}

}  // namespace romprog
