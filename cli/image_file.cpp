#include "cli/image_file.h"

#include <algorithm>
#include <filesystem>

#include "core/chip_types.h"
#include "core/formats/file_content.h"
#include "core/hex_text.h"
#include "platform/image_files.h"

namespace romtool {
namespace {

std::string Hex4(int value) {
  return "0x" + romprog::HexText(static_cast<unsigned>(value), 4);
}

std::string ChipName(int activeSize) {
  for (const romprog::ChipType& chip : romprog::kChipTypes) {
    if (chip.activeSize == activeSize) return chip.name;
  }
  return "chip";
}

// The system's words, or what is left when it has none.
std::string Because(const std::string& problem, const char* otherwise) {
  return ": " + (problem.empty() ? std::string(otherwise) : problem);
}

// What is wrong with the text file `path` as it was loaded, empty when nothing is.
std::string TextError(const std::string& path, const romprog::LoadResult& result,
                      const LoadRules& rules, int activeSize) {
  const romprog::ImageRead& read = result.read;
  if (read.status == romprog::ReadStatus::Damaged) {
    // Only the faults it reads past, and only in a file that shows itself as
    // Intel HEX: never data outside the chip nor a binary named ".hex".
    const bool lenientHelps = result.format == FileFormat::IntelHex && !rules.lenient &&
                              read.lenientReadsPast && result.shown == FileFormat::IntelHex;
    return path + ":" + std::to_string(read.errorLine) + ": " + read.error +
           (lenientHelps ? " (--lenient reads it as the window program does)" : "");
  }
  if (read.loadedExtent > 0) return std::string();
  // The lenient Intel HEX reading skips data above the chip; the others refuse it.
  const bool skipsAbove = result.format == FileFormat::IntelHex && rules.lenient;
  return path + " holds no data record" + (skipsAbove ? " below " + Hex4(activeSize) : "");
}

// What is wrong with the raw image `path`, empty when nothing is.
std::string BinaryError(const std::string& path, const romprog::LoadResult& result,
                        const std::uint8_t* image, const LoadRules& rules, int activeSize) {
  const std::int64_t size = result.fileSize;
  if (size == 0) return path + " is empty";
  const auto loaded = static_cast<std::size_t>(std::min<std::int64_t>(size, activeSize));
  if (!rules.format && romprog::IsPlainText(image, loaded)) {
    return path + " is plain text, not a ROM image; --format bin takes it as one all the same";
  }
  if (size > activeSize && !rules.truncate) {
    const std::string chip = std::to_string(activeSize);
    return path + " holds " + std::to_string(size) + " bytes, the " + ChipName(activeSize) +
           " takes " + chip + ": is -c right? --truncate takes the first " + chip;
  }
  return std::string();
}

// What is wrong with the file `path` as it was loaded, empty when nothing is.
std::string LoadError(const std::string& path, const romprog::LoadResult& result,
                      const std::uint8_t* image, const LoadRules& rules, int activeSize) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) return path + " is a folder";
  if (!result.opened) return "cannot open " + path + Because(result.problem, "no size");
  switch (result.read.status) {
    case romprog::ReadStatus::Read:
    case romprog::ReadStatus::Damaged:
      break;
    case romprog::ReadStatus::Unreadable:
      return "cannot read " + path + Because(result.problem, "it ended before its size");
    case romprog::ReadStatus::TooLarge:
      return path + " is too large for an image file";
  }
  if (result.format == FileFormat::Binary) {
    return BinaryError(path, result, image, rules, activeSize);
  }
  return TextError(path, result, rules, activeSize);
}

// What the file's records show against what its name says; the note on a
// raw image that does not fit the chip.
std::string LoadNote(const std::string& path, const romprog::LoadResult& result,
                     const LoadRules& rules, int activeSize) {
  const std::optional<FileFormat> claimed = romprog::FormatClaimedBy(path);
  if (!rules.format && result.shown && claimed && *result.shown != *claimed) {
    const bool sRecords = *result.shown == FileFormat::SRecord;
    return path + " holds " + (sRecords ? "S-records" : "Intel HEX records") + "; read as " +
           (sRecords ? "S-records" : "Intel HEX");
  }
  if (result.format != FileFormat::Binary) return std::string();
  const std::int64_t size = result.fileSize;
  const std::string chip = ChipName(activeSize);
  if (size > activeSize) {
    return path + " holds " + std::to_string(size) + " bytes; the " + chip + " takes the first " +
           std::to_string(activeSize);
  }
  if (size < activeSize) {
    return path + " holds " + std::to_string(size) + " bytes, the " + chip + " takes " +
           std::to_string(activeSize) + ": cells " + std::to_string(size) + " to " +
           std::to_string(activeSize - 1) + " stay blank (0xFF)";
  }
  return std::string();
}

}  // namespace

bool LoadImage(const std::string& path, int activeSize, std::uint8_t* image, std::string& note,
               std::string& error, const LoadRules& rules) {
  const romprog::LoadResult result = romprog::LoadImageFile(
      path, rules.lenient ? romprog::Reading::LenientHex : romprog::Reading::Strict, activeSize,
      image, rules.format);
  error = LoadError(path, result, image, rules, activeSize);
  if (!error.empty()) return false;
  note = LoadNote(path, result, rules, activeSize);
  return true;
}

bool LoadImage(const std::string& path, int activeSize, std::uint8_t* image, std::string& note,
               std::string& error, bool lenient) {
  LoadRules rules;
  rules.lenient = lenient;
  return LoadImage(path, activeSize, image, note, error, rules);
}

bool SaveImage(const std::string& path, const std::uint8_t* image, int activeSize,
               std::string& error) {
  std::string problem;
  if (romprog::SaveImage(path, KindOf(path), image, activeSize, problem)) return true;
  error = "cannot write " + path + Because(problem, "it did not take the bytes");
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
