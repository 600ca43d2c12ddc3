#include "files/image_saver.h"

#include "files/file_io.h"
#include "files/intel_hex_writer.h"

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

bool SaveImage(const Text& path, const std::uint8_t* image, int activeSize, bool intelHex) {
  const std::string content = ImageFileContent(image, activeSize, intelHex);
  return WriteWholeFile(path, reinterpret_cast<const std::uint8_t*>(content.data()),
                        content.size());
}

}  // namespace romprog
