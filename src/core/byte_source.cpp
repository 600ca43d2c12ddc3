#include "core/byte_source.h"

#include <algorithm>

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

std::int64_t ReadUpTo(ByteSource& source, std::uint8_t* data, std::size_t size) {
  std::size_t have = 0;
  while (have < size) {
    const std::int64_t got = source.Read(data + have, size - have);
    if (got < 0) return -1;
    if (got == 0) break;
    have += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(have);
}

std::int64_t ReplayedSource::Read(std::uint8_t* data, std::size_t size) {
  if (left_ == 0) return rest_.Read(data, size);
  const std::size_t taken = std::min(size, left_);
  std::copy_n(head_, taken, data);
  head_ += taken;
  left_ -= taken;
  return static_cast<std::int64_t>(taken);
}

}  // namespace romprog
