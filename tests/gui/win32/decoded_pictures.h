// The embedded button pictures as streams, decoded, and their pixels.
#pragma once

#include <cstdint>
#include <optional>

#include "gui/button_pictures.h"
#include "gui/win32/jpeg_picture.h"
#include "tests/gui/win32/jpeg_streams.h"

namespace romprog::testing {

inline Bytes Stream(int n) {
  const PictureStream s = EmbeddedPicture(n);
  return Bytes(s.data, s.data + s.size);
}

inline std::optional<win32::JpegPicture> Decode(const Bytes& b) {
  return win32::DecodeJpegPicture(b.data(), b.size());
}

// Pixel (x, y) counted from the image's top left, as R, G, B.
struct Rgb {
  int r, g, b;
};
inline Rgb At(const win32::JpegPicture& p, int x, int y) {
  const std::uint8_t* px =
      p.pixels.data() + static_cast<std::size_t>(p.height - 1 - y) * p.stride + 3 * x;
  return {px[2], px[1], px[0]};
}

}  // namespace romprog::testing
