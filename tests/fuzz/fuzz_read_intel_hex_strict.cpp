// Any text at all, with any of the chip sizes: romtool's strict reader either
// accepts the text, having stored only below the chip's size, or names a line
// of the text as the first fault.
#include <algorithm>
#include <cstdint>

#include "core/formats/intel_hex_strict_reader.h"
#include "core/image.h"
#include "tests/fuzz/fuzz_image.h"

namespace {

constexpr int kActiveSizes[] = {8192, 16384, 32768};

using fuzzing::Check;
using fuzzing::ErasedImage;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int activeSize = kActiveSizes[data[0] % 3];
  data += 1;
  size -= 1;

  auto image = ErasedImage();
  const romprog::TextLoad load = romprog::ReadIntelHexStrictly(data, size, image.get(), activeSize);
  if (!load.ok) {
    const auto lines = std::count(data, data + size, '\n') + std::count(data, data + size, '\r');
    Check(load.errorLine >= 1 && load.errorLine <= lines + 1 && !load.error.empty());
    return 0;
  }
  Check(load.loadedExtent >= 0 && load.loadedExtent <= activeSize);
  Check(std::all_of(image.get() + activeSize, image.get() + romprog::kBufferSize,
                    [](std::uint8_t b) { return b == 0xFF; }));
  return 0;
}
