#include "platform/image_files.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "core/formats/file_content.h"
#include "core/formats/intel_hex_strict_reader.h"
#include "core/formats/srecord_reader.h"
#include "core/formats/whole_text.h"
#include "core/image.h"
#include "platform/file_io.h"

namespace romprog {
namespace {

// The file's size in the result; false (its problem kept) when it has none.
bool Opened(InputFile& file, LoadResult& result) {
  if (file.IsOpen()) result.fileSize = file.Size();
  result.opened = result.fileSize >= 0;
  if (!result.opened) result.problem = file.Problem();
  return result.opened;
}

// romtool's readings: the file's first bytes decide its format, then `read`
// (a function of the format and a source) takes the file from its first byte
// again.
template <class Read>
void ReadByContent(const Text& path, InputFile& file, std::optional<FileFormat> forced,
                   LoadResult& result, const Read& read) {
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
  result.read = read(result.format, source);
}

// The records of a text format into `data`, each at the file's address.
ImageRead CollectRecords(FileFormat format, ByteSource& source, std::int64_t size, FileData& data,
                         bool lenient) {
  return ReadCheckedText(source, size, [&](const std::uint8_t* text, std::size_t length) {
    return format == FileFormat::IntelHex ? CollectIntelHex(text, length, data, lenient)
                                          : CollectSRecords(text, length, data, lenient);
  });
}

// A raw image as one run at address 0, its first kLargestImage bytes.
ImageRead ReadRaw(ByteSource& source, std::int64_t size, FileData& data) {
  const auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(size, kLargestImage));
  ImageRead result;
  data.push_back({0, std::vector<std::uint8_t>(wanted), 0});
  if (!ReadExactly(source, data.back().bytes.data(), wanted)) {
    result.status = ReadStatus::Unreadable;
  }
  return result;
}

}  // namespace

LoadResult CollectImageFile(const Text& path, std::optional<FileFormat> forced, FileData& data,
                            bool lenient) {
  LoadResult result;
  InputFile file(path);
  if (!Opened(file, result)) {
    result.format = KindOf(path).format;
    return result;
  }
  ReadByContent(path, file, forced, result, [&](FileFormat format, ByteSource& source) {
    return format == FileFormat::Binary
               ? ReadRaw(source, result.fileSize, data)
               : CollectRecords(format, source, result.fileSize, data, lenient);
  });
  result.loaded = result.read.status == ReadStatus::Read;
  result.problem = file.Problem();
  return result;
}

LoadResult LoadImageFile(const Text& path, Reading reading, int activeSize, std::uint8_t* image,
                         std::optional<FileFormat> forced) {
  std::memset(image, 0xFF, kBufferSize);
  LoadResult result;
  InputFile file(path);
  if (!Opened(file, result)) {
    result.format = ReaderFor(path, reading).Format();
    return result;
  }
  if (reading == Reading::WindowProgram) {
    const ImageReader& reader = ReaderFor(path, reading);
    result.format = reader.Format();
    result.read = reader.Read(file, result.fileSize, image, activeSize);
  } else {
    ReadByContent(path, file, forced, result, [&](FileFormat format, ByteSource& source) {
      return ReaderFor(format, reading).Read(source, result.fileSize, image, activeSize);
    });
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
