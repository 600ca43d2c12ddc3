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

// Up to `size` bytes into `data`, fewer only when the source ends first: the
// count read, -1 on an error.
std::int64_t ReadUpTo(ByteSource& source, std::uint8_t* data, std::size_t size);

// The bytes already taken from the start of a source, then the rest of it:
// a file whose beginning was looked at is read again from its first byte.
class ReplayedSource final : public ByteSource {
 public:
  ReplayedSource(const std::uint8_t* head, std::size_t size, ByteSource& rest)
      : head_(head), left_(size), rest_(rest) {}
  std::int64_t Read(std::uint8_t* data, std::size_t size) override;

 private:
  const std::uint8_t* head_;
  std::size_t left_;
  ByteSource& rest_;
};

}  // namespace romprog
