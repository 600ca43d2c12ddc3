#include "core/chip_types.h"

namespace romprog {
namespace {

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(const Text& name, const char* typeName, LetterCase letterCase) {
  if (letterCase == LetterCase::Exact) return name == typeName;
  std::size_t k = 0;
  for (; k < name.size() && typeName[k] != '\0'; ++k) {
    if (Upper(name[k]) != Upper(typeName[k])) return false;
  }
  return k == name.size() && typeName[k] == '\0';
}

}  // namespace

const ChipType* FindChipType(const Text& name, LetterCase letterCase) {
  for (const ChipType& type : kChipTypes) {
    if (SameName(name, type.name, letterCase)) return &type;
  }
  return nullptr;
}

}  // namespace romprog
