#include "core/formats/image_saver.h"

#include "core/formats/intel_hex_writer.h"

namespace romprog {

std::string ImageFileContent(const std::uint8_t* image, int activeSize, bool intelHex) {
  std::string content;
  if (intelHex) {
    WriteIntelHex(image, activeSize, content);
  } else if (activeSize > 0) {
    content.assign(reinterpret_cast<const char*>(image), static_cast<std::size_t>(activeSize));
  }
  return content;
}

}  // namespace romprog
