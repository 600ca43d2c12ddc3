// romtool join: the chips of a 16-bit (or 32-bit) bus put back into one
// image, the inverse of split.
#include "cli/base/checksum.h"
#include "cli/base/same_file.h"
#include "cli/commands/commands.h"
#include "cli/images/chip_file.h"
#include "core/image_layout.h"

namespace romtool {
namespace {

// Intel HEX as romtool writes it, and S-records of 16-bit addresses, reach 64 KiB.
bool Reaches(const std::string& path, std::size_t size) {
  const romprog::FileKind kind = KindOf(path);
  return size <= 65536 || kind.format == FileFormat::Binary ||
         (kind.format == FileFormat::SRecord && kind.addressBytes > 2);
}

}  // namespace

int JoinCommand(const Options& options, const Streams& streams) {
  const std::size_t ways = options.files.size() - 1;
  if (ways != 2 && ways != 4) {
    return Fail(streams, kUsageOrFile,
                "join takes 2 or 4 chip files and IMAGE, got " +
                    std::to_string(options.files.size()) + " files");
  }
  const std::string clash =
      OutputClash(std::vector<std::string>(options.files.begin(), options.files.end() - 1),
                  {options.files.back()});
  if (!clash.empty()) return Fail(streams, kUsageOrFile, clash);
  std::vector<std::vector<std::uint8_t>> chips;
  for (std::size_t k = 0; k < ways; ++k) {
    romprog::Image chip{};
    if (!LoadChipFile(options, options.files[k], chip, streams)) return kUsageOrFile;
    chips.emplace_back(chip.begin(), chip.begin() + options.chip->activeSize);
  }
  const std::vector<std::uint8_t> image = romprog::Join(chips, options.swap);
  const std::string& path = options.files.back();
  if (!Reaches(path, image.size())) {
    return Fail(streams, kUsageOrFile,
                path + ": " + std::to_string(image.size()) +
                    " bytes need more than 16-bit addresses; name it .bin or .s28");
  }
  std::string error;
  if (!SaveImage(path, image.data(), static_cast<int>(image.size()), error)) {
    return Fail(streams, kUsageOrFile, error);
  }
  std::fprintf(streams.out, "%zu bytes  %s  %s\n", image.size(),
               SumsText(image.data(), image.size()).c_str(), path.c_str());
  return kSuccess;
}

}  // namespace romtool
