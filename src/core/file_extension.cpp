#include "core/file_extension.h"

#include "core/windows_1251.h"

namespace romprog {

Text FileExtension(const Text& name) {
  const auto mark = name.find_last_of("./\\");
  if (mark == Text::npos || name[mark] != '.') return {};
  return LowerCase1251(name.substr(mark + 1));
}

Text SaveFileName(const Text& chosen, bool intelHex) {
  const char* extension = intelHex ? "hex" : "bin";
  if (FileExtension(chosen) == extension) return chosen;
  return chosen + "." + extension;
}

}  // namespace romprog
