// romtool map: every cell of an image drawn as a PNG picture, its legend on
// standard output.
#include "cli/commands/commands.h"
#include "cli/images/chip_file.h"
#include "cli/images/map_picture.h"

namespace romtool {

int MapCommand(const Options& options, const Streams& streams) {
  romprog::Image image{};
  if (!LoadChipFile(options, options.files[0], image, streams)) return kUsageOrFile;
  const romprog::MapInput input{image.data(), options.chip->activeSize};
  std::string error;
  if (!SaveCellMap(options.png, input, error)) return Fail(streams, kUsageOrFile, error);
  std::fprintf(streams.out, "%s", MapLegend(options.png, input).c_str());
  return kSuccess;
}

std::string MapCheck(const Options& options) {
  return options.png.empty() ? "map needs the picture to make: --png OUT" : std::string();
}

}  // namespace romtool
