#include "core/byte_source.h"

namespace romprog {

bool ReadExactly(ByteSource& source, std::uint8_t* data, std::size_t size) {
  std::size_t have = 0;
  while (have < size) {
    const std::int64_t got = source.Read(data + have, size - have);
    if (got <= 0) return false;
    have += static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace romprog
