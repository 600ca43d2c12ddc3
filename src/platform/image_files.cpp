#include "platform/image_files.h"

#include <array>
#include <cstring>
#include <string>

#include "core/formats/file_content.h"
#include "core/image.h"
#include "platform/file_io.h"

namespace romprog {
namespace {

// romtool's readings: the file's first bytes decide its reader, then the
// reader takes the file from its first byte again.
void ReadByContent(const Text& path, InputFile& file, Reading reading,
                   std::optional<FileFormat> forced, int activeSize, std::uint8_t* image,
                   LoadResult& result) {
  std::array<std::uint8_t, kHeadSize> head{};
  const std::int64_t got = ReadUpTo(file, head.data(), head.size());
  if (got < 0) {
    result.format = KindOf(path).format;
    result.read.status = ReadStatus::Unreadable;
    return;
  }
  const auto length = static_cast<std::size_t>(got);
  result.shown = FormatOfRecords(head.data(), length);
  result.format = FormatToRead(path, head.data(), length, forced);
  ReplayedSource source(head.data(), length, file);
  result.read = ReaderFor(result.format, reading).Read(source, result.fileSize, image, activeSize);
}

}  // namespace

LoadResult LoadImageFile(const Text& path, Reading reading, int activeSize, std::uint8_t* image,
                         std::optional<FileFormat> forced) {
  std::memset(image, 0xFF, kBufferSize);
  LoadResult result;
  InputFile file(path);
  if (file.IsOpen()) result.fileSize = file.Size();
  result.opened = result.fileSize >= 0;
  if (!result.opened) {
    result.format = ReaderFor(path, reading).Format();
    result.problem = file.Problem();
    return result;
  }
  if (reading == Reading::WindowProgram) {
    const ImageReader& reader = ReaderFor(path, reading);
    result.format = reader.Format();
    result.read = reader.Read(file, result.fileSize, image, activeSize);
  } else {
    ReadByContent(path, file, reading, forced, activeSize, image, result);
  }
  result.loaded = result.read.status == ReadStatus::Read;
  result.problem = file.Problem();
  return result;
}

bool SaveImage(const Text& path, const FileKind& kind, const std::uint8_t* image, int activeSize) {
  Text ignored;
  return SaveImage(path, kind, image, activeSize, ignored);
}

bool SaveImage(const Text& path, const FileKind& kind, const std::uint8_t* image, int activeSize,
               Text& problem) {
  const std::string content = WriterFor(kind).Write(image, activeSize);
  return WriteWholeFile(path, reinterpret_cast<const std::uint8_t*>(content.data()), content.size(),
                        problem);
}

}  // namespace romprog
