// Any name: the extension is the lower-cased tail after the last dot with no
// separator in it, and a save name always ends in the format's extension.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/file_extension.h"
#include "core/windows_1251.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string name(reinterpret_cast<const char*>(data), size);
  const std::string extension = romprog::FileExtension(name);

  Check(extension.size() < size || (size == 0 && extension.empty()));
  Check(extension.find_first_of("./\\") == std::string::npos);
  const std::string lowered = romprog::LowerCase1251(name);
  Check(lowered.size() == name.size());
  Check(romprog::LowerCase1251(lowered) == lowered);
  if (!extension.empty()) {
    Check(lowered.compare(size - extension.size(), extension.size(), extension) == 0);
    Check(name[size - extension.size() - 1] == '.');
  }

  for (bool intelHex : {true, false}) {
    const std::string saved = romprog::SaveFileName(name, intelHex);
    Check(romprog::FileExtension(saved) == (intelHex ? "hex" : "bin"));
    Check(saved.compare(0, size, name) == 0);
    Check(saved == name || saved.size() == size + 4);
  }
  return 0;
}
