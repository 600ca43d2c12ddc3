// romtool pack: image files laid side by side on one chip's image, saved,
// and its map printed.
#include <algorithm>
#include <utility>

#include "cli/base/checksum.h"
#include "cli/base/same_file.h"
#include "cli/commands/commands.h"
#include "cli/images/chip_file.h"
#include "cli/images/pack_part.h"
#include "core/hex_text.h"
#include "core/image_layout.h"

namespace romtool {
namespace {

std::string Cells(int first, int last) {
  return romprog::HexNumber(first, 4) + "-" + romprog::HexNumber(last, 4);
}

// Each part read for the room the chip has from its cell on; false after
// saying why.
bool LoadParts(const Options& options, const Streams& streams, std::vector<romprog::Part>& parts) {
  const int size = options.chip->activeSize;
  for (const std::string& text : options.files) {
    PackPart given;
    std::string error;
    if (ParsePart(text, given, error) && given.cell >= size) {
      error = "part " + text + ": cell " + romprog::HexNumber(given.cell, 4) + " is past the " +
              options.chip->name + "'s last " + romprog::HexNumber(size - 1, 4);
    }
    if (!error.empty()) {
      Fail(streams, kUsageOrFile, error);
      return false;
    }
    const std::string clash = OutputClash({given.path}, {options.output});
    if (!clash.empty()) {
      Fail(streams, kUsageOrFile, clash);
      return false;
    }
    Options rules = options;
    if (given.base || given.autoBase) {
      rules.base = given.base;
      rules.baseAuto = given.autoBase;
    }
    romprog::Part part{given.path, given.cell, {}};
    if (!LoadFileCells(rules, given.path, size - given.cell, part.bytes, streams, given.cell)) {
      return false;
    }
    parts.push_back(std::move(part));
  }
  return true;
}

// One line of the map: the cells it tells of first, then what is there.
std::string MapLine(int first, int last, const std::string& what) {
  char size[24];
  std::snprintf(size, sizeof size, "%6d bytes", last - first + 1);
  return "  " + Cells(first, last) + "  " + size + "  " + what + "\n";
}

// The parts and the free cells in the order of their cells, then the sums
// of the whole chip.
void PrintMap(const Options& options, const Streams& streams,
              const std::vector<romprog::Part>& parts, const std::uint8_t* chip, int period) {
  const int size = options.chip->activeSize;
  std::vector<std::pair<int, std::string>> lines;
  for (const romprog::Part& part : parts) {
    lines.emplace_back(part.cell,
                       MapLine(part.cell, part.End() - 1,
                               SumsText(part.bytes.data(), part.bytes.size()) + "  " + part.name));
  }
  if (period < size) {
    const std::string copies =
        "mirrors " + Cells(0, period - 1) + ", " + std::to_string(size / period) + " copies in all";
    lines.emplace_back(period, MapLine(period, size - 1, copies));
  } else {
    for (const romprog::Span& span : romprog::FreeCells(parts, size)) {
      const int first = static_cast<int>(span.first);
      lines.emplace_back(first, MapLine(first, static_cast<int>(span.last), "free"));
    }
  }
  std::sort(lines.begin(), lines.end());
  std::fprintf(streams.out, "%s image %s, fill %s\n", options.chip->name, options.output.c_str(),
               romprog::HexNumber(options.fill, 2).c_str());
  for (const auto& line : lines) std::fputs(line.second.c_str(), streams.out);
  std::fprintf(streams.out, "  whole chip                    %s\n",
               SumsText(chip, static_cast<std::size_t>(size)).c_str());
}

}  // namespace

int PackCommand(const Options& options, const Streams& streams) {
  std::vector<romprog::Part> parts;
  if (!LoadParts(options, streams, parts)) return kUsageOrFile;
  if (const std::optional<romprog::Overlap> overlap = romprog::FindOverlap(parts)) {
    const romprog::Part& a = parts[overlap->first];
    const romprog::Part& b = parts[overlap->second];
    return Fail(
        streams, kUsageOrFile,
        a.name + " (" + Cells(a.cell, a.End() - 1) + ") and " + b.name + " (" +
            Cells(b.cell, b.End() - 1) + ") overlap in cells " +
            Cells(static_cast<int>(overlap->cells.first), static_cast<int>(overlap->cells.last)) +
            "; nothing written");
  }
  const int size = options.chip->activeSize;
  romprog::Image chip{};
  romprog::LayParts(parts, static_cast<std::uint8_t>(options.fill), chip.data(), size);
  int period = size;
  if (options.mirror) {
    period = 0;
    for (const romprog::Part& part : parts) period = std::max(period, part.End());
    if (!romprog::Mirror(chip.data(), period, size)) {
      return Fail(streams, kUsageOrFile,
                  "--mirror: the parts end at " + romprog::HexNumber(period, 4) +
                      ", which does not divide the " + options.chip->name + "'s " +
                      std::to_string(size) + " cells; nothing written");
    }
  }
  std::string error;
  if (!SaveImage(options.output, chip.data(), size, error)) {
    return Fail(streams, kUsageOrFile, error);
  }
  PrintMap(options, streams, parts, chip.data(), period);
  return kSuccess;
}

std::string PackCheck(const Options& options) {
  return options.output.empty() ? "pack needs the file to make: -o OUT" : std::string();
}

}  // namespace romtool
