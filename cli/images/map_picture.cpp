#include "cli/images/map_picture.h"

#include "cli/images/png_encode.h"
#include "platform/file_io.h"

namespace romtool {
namespace {

// The words for each CellKind, in its order.
constexpr const char* kKindWords[romprog::kCellKinds] = {
    "light grey: blank (0xFF)",
    "dark blue: zero (0x00)",
    "green: data, each bit light for 1, dark for 0",
    "red: unstable (read differently between passes), those bits yellow",
    "pink: differs from the file, those bits magenta",
};

}  // namespace

std::string MapLegend(const std::string& path, const romprog::MapInput& input) {
  const std::vector<int> counts = romprog::CountKinds(input);
  std::string text = path + ": " + std::to_string(input.size) +
                     " cells, each a tile of its 8 bits (bit 7 left), " +
                     std::to_string(romprog::kMapCellsPerRow) +
                     " cells a row, a black line under every 0x400 cells; the swatches "
                     "under the grid, left to right:\n";
  for (int kind = 0; kind < romprog::kCellKinds; ++kind) {
    text += "  " + std::string(kKindWords[kind]) + ": " + std::to_string(counts[kind]) +
            (counts[kind] == 1 ? " cell\n" : " cells\n");
  }
  return text;
}

bool SaveCellMap(const std::string& path, const romprog::MapInput& input, std::string& error) {
  const romprog::Picture picture = romprog::DrawCellMap(input);
  std::vector<std::uint8_t> png;
  if (!EncodePng(picture, {{"Title", "romtool cell map"}, {"Description", MapLegend(path, input)}},
                 png, error)) {
    return false;
  }
  std::string problem;
  if (romprog::WriteWholeFile(path, png.data(), png.size(), problem)) return true;
  error = "cannot write " + path + ": " + problem;
  return false;
}

}  // namespace romtool
