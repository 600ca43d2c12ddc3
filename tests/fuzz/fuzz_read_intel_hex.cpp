// Any text at all, with any of the chip sizes, split anywhere: the reader
// stores only inside the 32768-byte image and gives the same result however
// the text arrives.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/formats/intel_hex_reader.h"
#include "core/image.h"
#include "tests/fuzz/fuzz_image.h"

namespace {

using romprog::kBufferSize;

constexpr int kActiveSizes[] = {8192, 16384, 32768, 0, 65536};

using fuzzing::Check;
using fuzzing::ErasedImage;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int activeSize = kActiveSizes[data[0] % 5];
  const std::size_t split = data[1] % 64;
  data += 2;
  size -= 2;

  auto whole = ErasedImage();
  const int extent = romprog::ReadIntelHex(data, size, whole.get(), activeSize);
  Check(extent >= 0 && extent <= 0xFFFF + 0xFF);

  // The same text in pieces of `split` bytes (or at once when 0).
  auto pieces = ErasedImage();
  romprog::IntelHexReader reader(pieces.get(), activeSize);
  for (std::size_t at = 0; at < size;) {
    const std::size_t n = split == 0 ? size - at : std::min(split, size - at);
    reader.Feed(data + at, n);
    at += n;
  }
  Check(reader.Finish() == extent);
  Check(std::memcmp(whole.get(), pieces.get(), kBufferSize) == 0);
  return 0;
}
