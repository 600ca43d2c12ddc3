#include "core/formats/file_format.h"

#include "core/file_extension.h"

namespace romprog {

FileKind KindOf(const Text& name) {
  const Text extension = FileExtension(name);
  if (extension == "hex") return {FileFormat::IntelHex, 0};
  if (extension == "srec" || extension == "s19" || extension == "mot") {
    return {FileFormat::SRecord, 2};
  }
  if (extension == "s28") return {FileFormat::SRecord, 3};
  return {FileFormat::Binary, 0};
}

const char* FormatName(FileFormat format) {
  switch (format) {
    case FileFormat::IntelHex:
      return "Intel HEX";
    case FileFormat::SRecord:
      return "S-record";
    case FileFormat::Binary:
      break;
  }
  return "binary";
}

}  // namespace romprog
