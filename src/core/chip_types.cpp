#include "core/chip_types.h"

namespace romprog {

const ChipType* FindChipType(const Text& name) {
  for (const ChipType& type : kChipTypes) {
    if (name == type.name) return &type;
  }
  return nullptr;
}

}  // namespace romprog
