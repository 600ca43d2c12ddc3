// What the reader fuzzers share: an image exactly the buffer's size on the
// heap, so a store past it is caught, and a check that stops the run.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/image.h"

namespace fuzzing {

inline std::unique_ptr<std::uint8_t[]> ErasedImage() {
  std::unique_ptr<std::uint8_t[]> image(new std::uint8_t[romprog::kBufferSize]);
  std::memset(image.get(), 0xFF, romprog::kBufferSize);
  return image;
}

inline void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace fuzzing
