// romtool sum: the byte sum and CRC-32 of the chip's part of a file, and
// with --banks of each bank.
#include <cstdio>

#include "cli/base/checksum.h"
#include "cli/commands/commands.h"
#include "cli/images/chip_file.h"
#include "core/hex_text.h"

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
  const auto cells = static_cast<std::size_t>(size);
  std::fprintf(streams.out, "byte sum  %s\nCRC-32    %s\n",
               romprog::HexNumber(ByteSum16(image.data(), cells), 4).c_str(),
               romprog::HexNumber(Crc32(image.data(), cells), 8).c_str());
  const int bank = size / options.banks;
  for (int k = 0; options.banks > 1 && k < options.banks; ++k) {
    std::fprintf(streams.out, "bank %d  %s-%s  %s\n", k, romprog::HexNumber(k * bank, 4).c_str(),
                 romprog::HexNumber((k + 1) * bank - 1, 4).c_str(),
                 SumsText(image.data() + k * bank, static_cast<std::size_t>(bank)).c_str());
  }
  return kSuccess;
}

}  // namespace romtool
