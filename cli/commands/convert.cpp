// romtool convert: an image file saved in the format of another name.
#include "cli/chip_file.h"
#include "cli/commands/commands.h"
#include "cli/image_file.h"

namespace romtool {

int ConvertCommand(const Options& options, const Streams& streams) {
  romprog::Image image{};
  if (!LoadChipFile(options, options.files[0], image, streams)) return kUsageOrFile;
  std::string error;
  if (!SaveImage(options.files[1], image.data(), options.chip->activeSize, error)) {
    return Fail(streams, kUsageOrFile, error);
  }
  std::fprintf(streams.out, "%s (%s) -> %s (%s), %d bytes\n", options.files[0].c_str(),
               FormatName(KindOf(options.files[0]).format), options.files[1].c_str(),
               FormatName(KindOf(options.files[1]).format), options.chip->activeSize);
  return kSuccess;
}

}  // namespace romtool
