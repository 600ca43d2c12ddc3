#include "cli/images/chip_file.h"

#include <algorithm>

#include "cli/base/standard_streams.h"
#include "core/hex_text.h"

namespace romtool {

LoadRules RulesOf(const Options& options) {
  LoadRules rules;
  rules.lenient = options.lenient;
  rules.format = options.format;
  rules.truncate = options.truncate;
  rules.base = options.base;
  rules.autoBase = options.baseAuto;
  if (options.command == Command::Pack) rules.baseWay = LoadRules::BaseWay::Part;
  if (options.command == Command::Join) rules.baseWay = LoadRules::BaseWay::None;
  return rules;
}

void PrintNote(const Streams& streams, const std::string& note) {
  for (std::size_t at = 0; at < note.size();) {
    const std::size_t end = std::min(note.find('\n', at), note.size());
    std::fprintf(streams.err, "romtool: note: %s\n", note.substr(at, end - at).c_str());
    at = end + 1;
  }
}

bool LoadFileCells(const Options& options, const std::string& path, int size,
                   std::vector<std::uint8_t>& cells, const Streams& streams, int cell) {
  std::string note, error;
  LoadRules rules = RulesOf(options);
  rules.cell = cell;
  rules.part = options.command == Command::Pack || options.at.has_value();
  rules.cell = cell;
  InputCopy input;
  const bool standard = IsStandardStream(path);
  if (standard && !input.Take(error)) return Fail(streams, kUsageOrFile, error) == kSuccess;
  const std::string& file = standard ? input.path() : path;
  const bool loaded = LoadCells(file, size, rules, cells, note, error);
  // The copy's name means nothing to the user.
  if (standard) {
    note = Replaced(note, file, "- (standard input)");
    error = Replaced(error, file, "- (standard input)");
  }
  if (!loaded) return Fail(streams, kUsageOrFile, error) == kSuccess;
  PrintNote(streams, note);
  return true;
}

bool LoadChipFile(const Options& options, const std::string& path, romprog::Image& image,
                  const Streams& streams) {
  std::vector<std::uint8_t> cells;
  if (!LoadFileCells(options, path, options.chip->activeSize, cells, streams)) return false;
  image.fill(0xFF);
  std::copy(cells.begin(), cells.end(), image.begin());
  return true;
}

int LoadJobFile(const Options& options, const Streams& streams, romprog::Image& image,
                JobRecord& record) {
  const int size = options.chip->activeSize;
  if (options.base) record.base = romprog::HexNumber(*options.base, 4);
  if (options.baseAuto) record.base = "auto";
  if (!options.at) {
    if (!LoadChipFile(options, options.files[0], image, streams)) return kUsageOrFile;
    record.NoteFile(image.data(), size);
    return kSuccess;
  }
  std::vector<std::uint8_t> cells;
  const int at = *options.at;
  if (at >= size) {
    return Fail(streams, kUsageOrFile,
                "--at " + romprog::HexNumber(at, 4) + " is past the " + options.chip->name +
                    "'s last cell " + romprog::HexNumber(size - 1, 4));
  }
  // The room from the cell on, as a pack part at that cell has.
  if (!LoadFileCells(options, options.files[0], size - at, cells, streams, at)) {
    return kUsageOrFile;
  }
  const int end = at + static_cast<int>(cells.size());
  if (end > size) {
    return Fail(streams, kUsageOrFile,
                options.files[0] + " gives cells " + romprog::HexNumber(at, 4) + " to " +
                    romprog::HexNumber(end - 1, 4) + ", past the " + options.chip->name +
                    "'s last cell " + romprog::HexNumber(size - 1, 4));
  }
  image.fill(0xFF);
  std::copy(cells.begin(), cells.end(), image.begin() + at);
  record.at = at;
  record.atSize = static_cast<int>(cells.size());
  record.NoteFile(cells.data(), record.atSize);
  return kSuccess;
}

void KeepChipAround(const JobRecord& record, const std::uint8_t* chip, romprog::Image& image,
                    int size) {
  if (record.at < 0) return;
  std::copy(chip, chip + record.at, image.begin());
  std::copy(chip + record.at + record.atSize, chip + size,
            image.begin() + record.at + record.atSize);
}

}  // namespace romtool
