// romtool dump: the chip's part of a file as the buffer window lists it.
#include "cli/images/dump.h"

#include "cli/commands/commands.h"
#include "cli/images/chip_file.h"

namespace romtool {

int DumpCommand(const Options& options, const Streams& streams) {
  romprog::Image image{};
  if (!LoadChipFile(options, options.files[0], image, streams)) return kUsageOrFile;
  const std::string rows = DumpRows(image.data(), options.chip->activeSize);
  std::fwrite(rows.data(), 1, rows.size(), streams.out);
  return kSuccess;
}

}  // namespace romtool
