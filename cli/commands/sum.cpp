// romtool sum: the byte sum and CRC-32 of the chip's part of a file, and
// with --banks of each bank.
#include <cinttypes>

#include "cli/base/checksum.h"
#include "cli/commands/commands.h"
#include "cli/images/chip_file.h"

namespace romtool {

int SumCommand(const Options& options, const Streams& streams) {
  const int size = options.chip->activeSize;
  if (size % options.banks != 0) {
    return Fail(streams, kUsageOrFile,
                "--banks " + std::to_string(options.banks) + " does not divide the " +
                    options.chip->name + "'s " + std::to_string(size) + " cells");
  }
  romprog::Image image{};
  if (!LoadChipFile(options, options.files[0], image, streams)) return kUsageOrFile;
  std::fprintf(streams.out, "byte sum  0x%04X\nCRC-32    0x%08" PRIX32 "\n",
               static_cast<unsigned>(ByteSum16(image.data(), static_cast<std::size_t>(size))),
               Crc32(image.data(), static_cast<std::size_t>(size)));
  const int bank = size / options.banks;
  for (int k = 0; options.banks > 1 && k < options.banks; ++k) {
    std::fprintf(streams.out, "bank %d  0x%04X-0x%04X  %s\n", k, k * bank, (k + 1) * bank - 1,
                 SumsText(image.data() + k * bank, static_cast<std::size_t>(bank)).c_str());
  }
  return kSuccess;
}

}  // namespace romtool
