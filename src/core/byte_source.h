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

// Exactly `size` bytes into `data`, in as many reads as it takes; false on an
// error or when the source ends first.
bool ReadExactly(ByteSource& source, std::uint8_t* data, std::size_t size);

}  // namespace romprog
