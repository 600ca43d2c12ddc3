#include "cli/image_file.h"

#include <filesystem>

#include "core/hex_text.h"
#include "platform/image_files.h"

namespace romtool {
namespace {

std::string Hex4(int value) {
  return "0x" + romprog::HexText(static_cast<unsigned>(value), 4);
}

// What is wrong with the file `path` as it was loaded, empty when nothing is.
// `checked`: read by a reader that checks the text line by line.
std::string LoadError(const std::string& path, const romprog::LoadResult& result, bool checked,
                      int activeSize) {
  if (!checked && std::filesystem::is_directory(path)) return path + " is a folder";
  if (!result.opened) return (checked ? "cannot open " : "cannot read ") + path;
  switch (result.read.status) {
    case romprog::ReadStatus::Read:
      break;
    case romprog::ReadStatus::Unreadable:
      return "cannot read " + path;
    case romprog::ReadStatus::TooLarge:
      return path + " is too large for an image file";
    case romprog::ReadStatus::Damaged:
      return path + ":" + std::to_string(result.read.errorLine) + ": " + result.read.error +
             (result.format == FileFormat::IntelHex
                  ? " (--lenient reads it as the window program does)"
                  : "");
  }
  if (result.format == FileFormat::Binary) return result.fileSize == 0 ? path + " is empty" : "";
  if (result.read.loadedExtent > 0) return std::string();
  // The strict Intel HEX reader refuses data above the chip rather than skip it.
  const bool skipsAbove = !(checked && result.format == FileFormat::IntelHex);
  return path + " holds no data record" + (skipsAbove ? " below " + Hex4(activeSize) : "");
}

// The note on a raw image that does not fit the chip.
std::string SizeNote(const std::string& path, std::int64_t fileSize, int activeSize) {
  if (fileSize > activeSize) {
    return path + " holds " + std::to_string(fileSize) + " bytes; the chip takes the first " +
           std::to_string(activeSize);
  }
  if (fileSize < activeSize) {
    return path + " holds " + std::to_string(fileSize) + " bytes; cells " +
           std::to_string(fileSize) + " to " + std::to_string(activeSize - 1) +
           " are taken as 0xFF";
  }
  return std::string();
}

}  // namespace

bool LoadImage(const std::string& path, int activeSize, std::uint8_t* image, std::string& note,
               std::string& error, bool lenient) {
  const romprog::LoadResult result = romprog::LoadImageFile(
      path, lenient ? romprog::Reading::LenientHex : romprog::Reading::Strict, activeSize, image);
  const bool checked =
      result.format == FileFormat::SRecord || (result.format == FileFormat::IntelHex && !lenient);
  error = LoadError(path, result, checked, activeSize);
  if (!error.empty()) return false;
  if (result.format == FileFormat::Binary) note = SizeNote(path, result.fileSize, activeSize);
  return true;
}

bool SaveImage(const std::string& path, const std::uint8_t* image, int activeSize,
               std::string& error) {
  if (romprog::SaveImage(path, KindOf(path), image, activeSize)) return true;
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
