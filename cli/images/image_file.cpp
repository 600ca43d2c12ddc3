#include "cli/images/image_file.h"

#include <algorithm>
#include <filesystem>

#include "cli/base/standard_streams.h"
#include "core/chip_types.h"
#include "core/formats/file_content.h"
#include "core/hex_text.h"
#include "core/image.h"
#include "core/image_layout.h"
#include "platform/image_files.h"

namespace romtool {
namespace {

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
    const bool lenientHelps =
        !rules.lenient && read.lenientReadsPast && result.shown == result.format;
    const bool windowProgram =
        result.format == FileFormat::IntelHex && !rules.base && !rules.autoBase;
    return path + ":" + std::to_string(read.errorLine) + ": " + read.error +
           (!lenientHelps   ? ""
            : windowProgram ? " (--lenient reads it as the window program does)"
                            : " (--lenient reads past it, knowingly)");
  }
  if (read.loadedExtent > 0) return std::string();
  // The lenient Intel HEX reading skips data above the chip; the others refuse it.
  const bool skipsAbove = result.format == FileFormat::IntelHex && rules.lenient;
  return path + " holds no data record" +
         (skipsAbove ? " below " + romprog::HexNumber(activeSize, 4) : "");
}

// What is wrong with the raw image `path`, empty when nothing is.
std::string BinaryError(const std::string& path, const romprog::LoadResult& result,
                        const std::uint8_t* image, const LoadRules& rules, int activeSize) {
  const std::int64_t size = result.fileSize;
  if (size == 0) return path + " is empty";
  if (rules.base || rules.autoBase) {
    return "--base maps the addresses of Intel HEX and S-records; " + path +
           " is a raw image, its first byte is cell 0";
  }
  const auto loaded = static_cast<std::size_t>(std::min<std::int64_t>(size, activeSize));
  if (!rules.format && romprog::IsPlainText(image, loaded)) {
    return path + " is plain text, not a ROM image; --format bin takes it as one all the same";
  }
  if (size > activeSize && !rules.truncate) {
    const std::string chip = std::to_string(activeSize);
    if (rules.cell > 0) {
      // A pack part: the room left from its cell, not the chip, is too small.
      return path + " holds " + std::to_string(size) + " bytes; from cell " +
             romprog::HexNumber(rules.cell, 4) + " the " + ChipName(activeSize + rules.cell) +
             " has " + chip + " cells left: is its @CELL right? --truncate takes the first " + chip;
    }
    return path + " holds " + std::to_string(size) + " bytes, the " + ChipName(activeSize) +
           " takes " + chip + ": is -c right? --truncate takes the first " + chip;
  }
  return std::string();
}

// Why the file `path` was not read to its end, empty when it was.
std::string OpenError(const std::string& path, const romprog::LoadResult& result) {
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
  return std::string();
}

// What is wrong with the file `path` as it was loaded, empty when nothing is.
std::string LoadError(const std::string& path, const romprog::LoadResult& result,
                      const std::uint8_t* image, const LoadRules& rules, int activeSize) {
  const std::string error = OpenError(path, result);
  if (!error.empty()) return error;
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
  if (size < activeSize && !rules.part) {
    return path + " holds " + std::to_string(size) + " bytes, the " + chip + " takes " +
           std::to_string(activeSize) + ": cells " + std::to_string(size) + " to " +
           std::to_string(activeSize - 1) + " stay blank (0xFF)";
  }
  return std::string();
}

// An address in at least four hex digits: "0xE000", "0x20000".
std::string Address(std::uint64_t address) {
  return romprog::HexNumber(address, 4);
}

std::string Range(std::uint32_t first, std::uint64_t last) {
  return Address(first) + "-" + Address(last);
}

// The spans, as a list: "0x0000-0x1FFF, 0xE000-0xFFFF".
// Past four, the first three and the last: a sparse file may have hundreds.
std::string Listed(const std::vector<romprog::Span>& spans) {
  constexpr std::size_t kShown = 4;
  std::string text;
  for (std::size_t k = 0; k < spans.size(); ++k) {
    if (spans.size() > kShown && k + 1 == kShown) {
      text += ", ... (" + std::to_string(spans.size()) + " in all)";
      k = spans.size() - 1;
    }
    text += (k == 0 ? "" : ", ") + Range(spans[k].first, spans[k].last);
  }
  return text;
}

// The chip type larger than `size` cells that holds data from cell 0 to
// `last` whole; empty when none does.
std::string LargerChipFor(std::uint64_t last, int size) {
  for (const romprog::ChipType& chip : romprog::kChipTypes) {
    if (chip.activeSize > size && last < static_cast<std::uint64_t>(chip.activeSize)) {
      return chip.name;
    }
  }
  return std::string();
}

// The command that maps the file's `base` for a command that maps none:
// convert it to a raw image of the chip first.
std::string ConvertFirst(const std::string& path, int size, std::uint32_t base) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::size_t dot = path.rfind('.');
  const bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  std::string out = (extension ? path.substr(0, dot) : path) + ".bin";
  if (out == path) out = path + "-mapped.bin";
  return "romtool convert -c " + ChipName(size) + " --base " + Address(base) + " " + path + " " +
         out;
}

// Where the data lies and how a chip of `size` cells is made to see it:
// the hint after a refusal for data outside the chip, in the terms of the
// command (`rules.baseWay`); the likely cause first: data from 0 that a
// larger chip holds whole says the chip type is wrong.
std::string BaseHint(const std::string& path, const std::vector<romprog::Span>& spans, int size,
                     const LoadRules& rules) {
  using Way = LoadRules::BaseWay;
  const std::vector<std::uint32_t> windows = romprog::WindowsHolding(spans, size);
  const std::string lies = "; the data lies at " + Listed(spans);
  const std::string larger =
      spans.front().first < static_cast<std::uint32_t>(size) && rules.cell == 0 && !rules.autoBase
          ? LargerChipFor(spans.back().last, size)
          : std::string();
  const std::string cause = larger.empty() ? ""
                                           : "; is -c right? the data lies at " + Listed(spans) +
                                                 ", which a " + larger + " holds whole";
  if (rules.base || windows.empty()) return cause.empty() ? lies : cause;
  if (windows.size() == 1) {
    switch (rules.baseWay) {
      case Way::Option:
        return lies + ": add --base " + Address(windows[0]) + ", or --base auto";
      case Way::Part:
        return lies + ": give the part as " + path + ":base=" + Address(windows[0]) + " (or " +
               path + ":base=auto)";
      case Way::None:
        return lies + ": map it onto the chip first: " + ConvertFirst(path, size, windows[0]) +
               ", then give that file";
    }
  }
  std::vector<romprog::Span> listed;
  for (std::uint32_t base : windows)
    listed.push_back({base, base + static_cast<std::uint32_t>(size - 1)});
  const std::string where = "; the data lies in " + std::to_string(windows.size()) +
                            " windows of " + std::to_string(size) + " bytes: " + Listed(listed);
  const std::string pick = rules.baseWay == Way::Part ? "pick it with " + path + ":base=ADDR"
                           : rules.baseWay == Way::None
                               ? "map one onto the chip first with romtool convert --base"
                               : "pick it with --base, or lay the parts on one chip with pack";
  return (cause.empty() ? where : cause + "; else" + where.substr(1)) +
         "; a chip sees one: " + pick;
}

// What --base auto asked for: a window found, whatever the chip type.
LoadRules AutoRules() {
  LoadRules rules;
  rules.autoBase = true;
  return rules;
}

// "data 0xE000-0xFFFF mapped to cells 0x2000-0x3FFF": the note on a window
// found, in the chip's cells.
std::string MappedNote(const std::vector<romprog::Span>& spans, std::uint32_t base, int cell) {
  return "data " + Range(spans.front().first, spans.back().last) + " mapped to cells " +
         Range(spans.front().first - base + static_cast<std::uint32_t>(cell),
               spans.back().last - base + static_cast<std::uint32_t>(cell));
}

// --base auto for a bank laid from rules.cell on, `size` cells of room:
// the bank's window, which must fit the room.
bool ChooseBankWindow(const std::string& path, const std::vector<romprog::Span>& spans, int size,
                      const LoadRules& rules, romprog::AddressWindow& window, std::string& note,
                      std::string& error) {
  window = romprog::BankWindow(spans);
  if (window.size > size) {
    error = "--base auto: " + path + ": the data lies at " + Listed(spans) +
            ", whose smallest window (a power of two, at a multiple of its size) is " +
            Range(window.base, std::uint64_t{window.base} + window.size - 1) + ", " +
            std::to_string(window.size) + " cells; from cell " + romprog::HexNumber(rules.cell, 4) +
            " the chip has " + std::to_string(size);
    return false;
  }
  note = MappedNote(spans, window.base, rules.cell) + ": a bank of " + std::to_string(window.size) +
         " cells from " + romprog::HexNumber(rules.cell, 4);
  return true;
}

// The window the chip's `size` cells from rules.cell on see of the file
// `data`; false with `error` set when --base auto finds no single one.
// `note` tells the one it found.
bool ChooseWindow(const std::string& path, const romprog::FileData& data, int size,
                  const LoadRules& rules, romprog::AddressWindow& window, std::string& note,
                  std::string& error) {
  window = {rules.base.value_or(0), size};
  if (!rules.autoBase) return true;
  const std::vector<romprog::Span> spans = romprog::DataSpans(data);
  if (spans.empty()) {
    error = "--base auto: " + path + " holds no data record";
    return false;
  }
  if (rules.cell > 0) return ChooseBankWindow(path, spans, size, rules, window, note, error);
  const std::vector<std::uint32_t> windows = romprog::WindowsHolding(spans, size);
  if (windows.size() != 1) {
    error = "--base auto: " + path + ": " + BaseHint(path, spans, size, AutoRules()).substr(2);
    return false;
  }
  window.base = windows[0];
  if (window.base == 0) return true;  // the data is where the chip sees it: nothing mapped
  note = MappedNote(spans, window.base, 0) + ": the chip sees address lines A0-A" +
         std::to_string(romprog::AddressLines(size) - 1) + " only";
  return true;
}

// The records of `data` on a chip of `size` cells; false with `error` set.
bool PlaceRecords(const std::string& path, const romprog::FileData& data,
                  romprog::LoadResult& result, const LoadRules& rules, int size,
                  std::vector<std::uint8_t>& cells, std::string& note, std::string& error) {
  romprog::AddressWindow window{0, size};
  const bool read = result.read.status == romprog::ReadStatus::Read;
  if (read && !ChooseWindow(path, data, size, rules, window, note, error)) return false;
  romprog::TextLoad collected;
  collected.ok = read;
  collected.errorLine = result.read.errorLine;
  collected.error = result.read.error;
  collected.lenientReadsPast = result.read.lenientReadsPast;
  cells.assign(static_cast<std::size_t>(size), 0xFF);
  const romprog::TextLoad placed = romprog::PlaceRuns(data, collected, window, cells.data());
  result.read.status = placed.ok ? romprog::ReadStatus::Read : romprog::ReadStatus::Damaged;
  result.read.errorLine = placed.errorLine;
  result.read.error = placed.error;
  result.read.lenientReadsPast = placed.lenientReadsPast;
  result.read.loadedExtent = placed.loadedExtent;
  error = TextError(path, result, rules, size);
  if (collected.ok && !placed.ok && rules.cell > 0 && !rules.base && !rules.autoBase) {
    // A pack part from a cell: what is too small is the room left from
    // there, not the chip, and the likely slip is the cell.
    const std::string room = "outside the chip (" + romprog::HexNumber(size, 1) + " bytes)";
    error =
        Replaced(error, room,
                 "past the chip's end: from cell " + romprog::HexNumber(rules.cell, 4) + " the " +
                     ChipName(size + rules.cell) + " has " + std::to_string(size) + " cells left");
    error += "; is its @CELL right? the data lies at " + Listed(romprog::DataSpans(data)) +
             " of the file";
    return false;
  }
  if (collected.ok && !placed.ok) error += BaseHint(path, romprog::DataSpans(data), size, rules);
  cells.resize(static_cast<std::size_t>(placed.loadedExtent));
  return error.empty();
}

// The window program's reading of Intel HEX, which knows no base.
bool LoadLeniently(const std::string& path, int size, const LoadRules& rules,
                   std::vector<std::uint8_t>& cells, std::string& note, std::string& error) {
  romprog::Image image{};
  const romprog::LoadResult result =
      romprog::LoadImageFile(path, romprog::Reading::LenientHex, size, image.data(), rules.format);
  error = LoadError(path, result, image.data(), rules, size);
  if (!error.empty()) return false;
  note = LoadNote(path, result, rules, size);
  const std::int64_t extent = result.format == FileFormat::Binary
                                  ? std::min<std::int64_t>(result.fileSize, size)
                                  : result.read.loadedExtent;
  cells.assign(image.begin(), image.begin() + extent);
  return true;
}

// `first` and `second` as one note of a line each.
std::string Joined(const std::string& first, const std::string& second) {
  return first.empty() || second.empty() ? first + second : first + "\n" + second;
}

// What --lenient read past, so a faulty file is never taken unknowingly.
std::string ReadPastNote(const std::string& path, const romprog::ImageRead& read) {
  if (read.faultsReadPast == 0) return std::string();
  return "--lenient read past " + std::to_string(read.faultsReadPast) +
         (read.faultsReadPast == 1 ? " fault" : " faults") + " of " + path + ", the first: line " +
         std::to_string(read.readPastLine) + ": " + read.readPast;
}

}  // namespace

bool LoadCells(const std::string& path, int size, const LoadRules& rules,
               std::vector<std::uint8_t>& cells, std::string& note, std::string& error) {
  romprog::FileData data;
  romprog::LoadResult result = romprog::CollectImageFile(path, rules.format, data, rules.lenient);
  // Intel HEX at its own addresses: --lenient is the window program's reading.
  if (rules.lenient && !rules.base && !rules.autoBase && result.format == FileFormat::IntelHex) {
    return LoadLeniently(path, size, rules, cells, note, error);
  }
  if (result.format != FileFormat::Binary) {
    error = OpenError(path, result);
    std::string placedNote;
    if (error.empty() && !PlaceRecords(path, data, result, rules, size, cells, placedNote, error)) {
      return false;
    }
    note = Joined(Joined(LoadNote(path, result, rules, size), ReadPastNote(path, result.read)),
                  placedNote);
    return error.empty();
  }
  const std::vector<std::uint8_t> none;
  const std::vector<std::uint8_t>& raw = data.empty() ? none : data[0].bytes;
  error = LoadError(path, result, raw.data(), rules, size);
  if (!error.empty()) return false;
  note = LoadNote(path, result, rules, size);
  cells.assign(raw.begin(), raw.begin() + std::min<std::ptrdiff_t>(raw.size(), size));
  return true;
}

bool LoadImage(const std::string& path, int activeSize, std::uint8_t* image, std::string& note,
               std::string& error, const LoadRules& rules) {
  std::vector<std::uint8_t> cells;
  std::fill(image, image + romprog::kBufferSize, 0xFF);
  if (!LoadCells(path, activeSize, rules, cells, note, error)) return false;
  std::copy(cells.begin(), cells.end(), image);
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
