#include "platform/image_files.h"

#include <cstring>
#include <string>

#include "core/formats/file_format.h"
#include "core/formats/image_loader.h"
#include "core/formats/image_saver.h"
#include "core/image.h"
#include "platform/file_io.h"

namespace romprog {

LoadResult LoadImageFile(const Text& path, int activeSize, std::uint8_t* image) {
  std::memset(image, 0xFF, kBufferSize);
  LoadResult result;
  // The window program reads Intel HEX and raw images only.
  result.intelHex = KindOf(path).format == FileFormat::IntelHex;
  InputFile file(path);
  if (!file.IsOpen()) return result;
  if (result.intelHex) {
    result.loaded = LoadIntelHex(file, image, activeSize, result.loadedExtent);
  } else {
    result.fileSize = file.Size();
    result.loaded = result.fileSize >= 0 && LoadBinary(file, image, activeSize, result.fileSize);
  }
  return result;
}

bool SaveImage(const Text& path, const std::uint8_t* image, int activeSize, bool intelHex) {
  const std::string content = ImageFileContent(image, activeSize, intelHex);
  return WriteWholeFile(path, reinterpret_cast<const std::uint8_t*>(content.data()),
                        content.size());
}

}  // namespace romprog
