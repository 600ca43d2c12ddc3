#include "core/formats/image_loader.h"

#include <algorithm>
#include <vector>

#include "core/formats/intel_hex_reader.h"
#include "core/image.h"

namespace romprog {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

}  // namespace

bool LoadIntelHex(ByteSource& source, std::uint8_t* image, int activeSize, int& extent) {
  IntelHexReader reader(image, activeSize);
  std::vector<std::uint8_t> chunk(kChunk);
  for (;;) {
    const std::int64_t got = source.Read(chunk.data(), chunk.size());
    if (got < 0) return false;
    if (got == 0) break;
    reader.Feed(chunk.data(), static_cast<std::size_t>(got));
  }
  extent = reader.Finish();
  return true;
}

bool LoadBinary(ByteSource& source, std::uint8_t* image, int activeSize, std::int64_t fileSize) {
  const std::int64_t wanted =
      std::max<std::int64_t>(0, std::min<std::int64_t>({fileSize, activeSize, kBufferSize}));
  std::int64_t have = 0;
  while (have < wanted) {
    const std::int64_t got = source.Read(image + have, static_cast<std::size_t>(wanted - have));
    if (got <= 0) return false;
    have += got;
  }
  return true;
}

}  // namespace romprog
