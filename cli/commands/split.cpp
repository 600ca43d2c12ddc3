// romtool split: an image for a 16-bit (or 32-bit) bus dealt out over one
// chip per byte lane.
#include "cli/base/checksum.h"
#include "cli/base/same_file.h"
#include "cli/commands/commands.h"
#include "cli/images/chip_file.h"
#include "core/image_layout.h"

namespace romtool {

int SplitCommand(const Options& options, const Streams& streams) {
  const int ways = options.ways;
  if (static_cast<int>(options.files.size()) != 1 + ways) {
    return Fail(streams, kUsageOrFile,
                "split --interleave " + std::to_string(ways) + " takes IMAGE and " +
                    std::to_string(ways) + " chip files, got " +
                    std::to_string(options.files.size()) + " files");
  }
  const std::string clash = OutputClash(
      {options.files[0]}, std::vector<std::string>(options.files.begin() + 1, options.files.end()));
  if (!clash.empty()) return Fail(streams, kUsageOrFile, clash);
  const int size = options.chip->activeSize;
  std::vector<std::uint8_t> image;
  if (!LoadFileCells(options, options.files[0], ways * size, image, streams)) return kUsageOrFile;
  image.resize(static_cast<std::size_t>(ways * size), 0xFF);
  const std::vector<std::vector<std::uint8_t>> chips =
      romprog::Interleave(image, ways, options.swap);
  for (int k = 0; k < ways; ++k) {
    std::string error;
    const std::string& path = options.files[static_cast<std::size_t>(1 + k)];
    if (!SaveImage(path, chips[static_cast<std::size_t>(k)].data(), size, error)) {
      return Fail(streams, kUsageOrFile, error);
    }
  }
  for (int k = 0; k < ways; ++k) {
    const std::vector<std::uint8_t>& chip = chips[static_cast<std::size_t>(k)];
    std::fprintf(streams.out, "byte %d of %d  %s  %s\n", k, ways,
                 SumsText(chip.data(), chip.size()).c_str(),
                 options.files[static_cast<std::size_t>(1 + k)].c_str());
  }
  return kSuccess;
}

}  // namespace romtool
