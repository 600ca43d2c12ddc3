#include "platform/image_files.h"

#include <cstring>
#include <string>

#include "core/image.h"
#include "platform/file_io.h"

namespace romprog {

LoadResult LoadImageFile(const Text& path, Reading reading, int activeSize, std::uint8_t* image) {
  std::memset(image, 0xFF, kBufferSize);
  const ImageReader& reader = ReaderFor(path, reading);
  LoadResult result;
  result.format = reader.Format();
  InputFile file(path);
  if (file.IsOpen()) result.fileSize = file.Size();
  result.opened = result.fileSize >= 0;
  if (!result.opened) return result;
  result.read = reader.Read(file, result.fileSize, image, activeSize);
  result.loaded = result.read.status == ReadStatus::Read;
  return result;
}

bool SaveImage(const Text& path, const FileKind& kind, const std::uint8_t* image, int activeSize) {
  const std::string content = WriterFor(kind).Write(image, activeSize);
  return WriteWholeFile(path, reinterpret_cast<const std::uint8_t*>(content.data()),
                        content.size());
}

}  // namespace romprog
