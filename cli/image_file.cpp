#include "cli/image_file.h"

#include <cstring>
#include <filesystem>
#include <vector>

#include "core/formats/image_loader.h"
#include "core/formats/image_saver.h"
#include "core/formats/intel_hex_strict_reader.h"
#include "core/formats/srecord_reader.h"
#include "core/formats/srecord_writer.h"
#include "core/hex_text.h"
#include "core/image.h"
#include "platform/file_io.h"
#include "platform/image_files.h"

namespace romtool {
namespace {

// No S-record file for a 32 KiB chip comes near this.
constexpr std::int64_t kLongestTextFile = 64 * 1024 * 1024;

std::string Hex4(int value) {
  return "0x" + romprog::HexText(static_cast<unsigned>(value), 4);
}

bool ReadWhole(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
  romprog::InputFile file(path);
  const std::int64_t size = file.IsOpen() ? file.Size() : -1;
  if (size < 0) {
    error = "cannot open " + path;
    return false;
  }
  if (size > kLongestTextFile) {
    error = path + " is too large for an image file";
    return false;
  }
  bytes.resize(static_cast<std::size_t>(size));
  std::size_t have = 0;
  while (have < bytes.size()) {
    const std::int64_t got = file.Read(bytes.data() + have, bytes.size() - have);
    if (got <= 0) {
      error = "cannot read " + path;
      return false;
    }
    have += static_cast<std::size_t>(got);
  }
  return true;
}

bool LoadSRecords(const std::string& path, int activeSize, std::uint8_t* image,
                  std::string& error) {
  std::vector<std::uint8_t> text;
  if (!ReadWhole(path, text, error)) return false;
  const romprog::SRecordLoad load =
      romprog::ReadSRecords(text.data(), text.size(), image, activeSize);
  if (!load.ok) {
    error = path + ":" + std::to_string(load.errorLine) + ": " + load.error;
    return false;
  }
  if (load.loadedExtent == 0) {
    error = path + " holds no data record below " + Hex4(activeSize);
    return false;
  }
  return true;
}

bool LoadStrictHex(const std::string& path, int activeSize, std::uint8_t* image,
                   std::string& error) {
  std::vector<std::uint8_t> text;
  if (!ReadWhole(path, text, error)) return false;
  const romprog::IntelHexLoad load =
      romprog::ReadIntelHexStrictly(text.data(), text.size(), image, activeSize);
  if (!load.ok) {
    error = path + ":" + std::to_string(load.errorLine) + ": " + load.error +
            " (--lenient reads it as the window program does)";
    return false;
  }
  if (load.loadedExtent == 0) error = path + " holds no data record";
  return error.empty();
}

bool LoadOther(const std::string& path, int activeSize, std::uint8_t* image, std::string& note,
               std::string& error) {
  if (std::filesystem::is_directory(path)) {
    error = path + " is a folder";
    return false;
  }
  const romprog::LoadResult result = romprog::LoadImageFile(path, activeSize, image);
  if (!result.loaded) {
    error = "cannot read " + path;
    return false;
  }
  if (result.intelHex && result.loadedExtent == 0) {
    error = path + " holds no data record below " + Hex4(activeSize);
  } else if (!result.intelHex && result.fileSize == 0) {
    error = path + " is empty";
  } else if (!result.intelHex && result.fileSize > activeSize) {
    note = path + " holds " + std::to_string(result.fileSize) +
           " bytes; the chip takes the first " + std::to_string(activeSize);
  } else if (!result.intelHex && result.fileSize < activeSize) {
    note = path + " holds " + std::to_string(result.fileSize) + " bytes; cells " +
           std::to_string(result.fileSize) + " to " + std::to_string(activeSize - 1) +
           " are taken as 0xFF";
  }
  return error.empty();
}

}  // namespace

bool LoadImage(const std::string& path, int activeSize, std::uint8_t* image, std::string& note,
               std::string& error, bool lenient) {
  std::memset(image, 0xFF, romprog::kBufferSize);
  const FileFormat format = KindOf(path).format;
  if (format == FileFormat::SRecord) return LoadSRecords(path, activeSize, image, error);
  if (format == FileFormat::IntelHex && !lenient) {
    return LoadStrictHex(path, activeSize, image, error);
  }
  return LoadOther(path, activeSize, image, note, error);
}

bool SaveImage(const std::string& path, const std::uint8_t* image, int activeSize,
               std::string& error) {
  const FileKind kind = KindOf(path);
  std::string content;
  if (kind.format == FileFormat::SRecord) {
    romprog::WriteSRecords(image, activeSize, kind.addressBytes, content);
  } else {
    content = romprog::ImageFileContent(image, activeSize, kind.format == FileFormat::IntelHex);
  }
  if (romprog::WriteWholeFile(path, reinterpret_cast<const std::uint8_t*>(content.data()),
                              content.size())) {
    return true;
  }
  error = "cannot write " + path;
  return false;
}

bool CanSaveAt(const std::string& path, std::string& error) {
  const std::filesystem::path target(path);
  std::error_code ignored;
  if (std::filesystem::is_directory(target, ignored)) {
    error = path + " is a folder";
    return false;
  }
  const std::filesystem::path folder = target.parent_path();
  if (!folder.empty() && !std::filesystem::is_directory(folder, ignored)) {
    error = "no folder " + folder.string() + " to save " + path + " in";
    return false;
  }
  return true;
}

}  // namespace romtool
