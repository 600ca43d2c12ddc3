// Where the readers take bytes from: a file, or anything a test puts in its place.
#pragma once

#include <cstddef>
#include <cstdint>

namespace romprog {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `size` bytes into `data`: the count read, 0 at the end, -1 on an error.
  virtual std::int64_t Read(std::uint8_t* data, std::size_t size) = 0;
};

}  // namespace romprog
