// Decoding a button picture's JPEG stream, held in memory, into 24-bit pixels
// laid out as a bottom-up DIB section holds them. Portable, so the native
// tests decode exactly what the Windows build shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace romprog::win32 {

struct JpegPicture {
  int width = 0;
  int height = 0;
  std::size_t stride = 0;            // bytes per row: 3 per pixel, padded to a multiple of 4
  std::vector<std::uint8_t> pixels;  // B, G, R per pixel; the image's bottom row first
};

// Bytes per row of a 24-bit bitmap `width` pixels wide.
std::size_t BitmapStride(int width);

// No picture when the stream does not start with FF D8 or its header cannot be
// read. A fault after the header keeps the picture: rows not decoded by then
// stay black.
std::optional<JpegPicture> DecodeJpegPicture(const std::uint8_t* data, std::size_t size);

}  // namespace romprog::win32
