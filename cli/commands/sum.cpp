// romtool sum: the byte sum and CRC-32 of the chip's part of a file.
#include <cinttypes>

#include "cli/checksum.h"
#include "cli/chip_file.h"
#include "cli/commands/commands.h"

namespace romtool {

int SumCommand(const Options& options, const Streams& streams) {
  romprog::Image image{};
  if (!LoadChipFile(options, options.files[0], image, streams)) return kUsageOrFile;
  const auto size = static_cast<std::size_t>(options.chip->activeSize);
  std::fprintf(streams.out, "byte sum  0x%04X\nCRC-32    0x%08" PRIX32 "\n",
               static_cast<unsigned>(ByteSum16(image.data(), size)), Crc32(image.data(), size));
  return kSuccess;
}

}  // namespace romtool
