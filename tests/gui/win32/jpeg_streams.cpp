#include "tests/gui/win32/jpeg_streams.h"

#include <cstdio>
#include <cstdlib>
// clang-format off
#include <jpeglib.h>
// clang-format on

namespace romprog::testing {

TestImage SolidImage(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  TestImage image{width, height, 3, {}};
  for (int i = 0; i < width * height; ++i) image.samples.insert(image.samples.end(), {r, g, b});
  return image;
}

Bytes EncodeJpeg(const TestImage& image, int quality, bool progressive) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&cinfo, &out, &outSize);
  cinfo.image_width = static_cast<JDIMENSION>(image.width);
  cinfo.image_height = static_cast<JDIMENSION>(image.height);
  cinfo.input_components = image.components;
  cinfo.in_color_space = image.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  const std::size_t rowBytes = static_cast<std::size_t>(image.width * image.components);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image.samples.data() + cinfo.next_scanline * rowBytes);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes stream(out, out + outSize);
  std::free(out);
  return stream;
}

namespace {

bool StandsAlone(std::uint8_t marker) {
  return marker == 0xD8 || marker == 0xD9 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01;
}

// Bytes of entropy-coded data from `at` up to the next marker that is neither
// a stuffed zero nor a restart marker.
std::size_t ScanLength(const std::uint8_t* data, std::size_t size, std::size_t at) {
  std::size_t i = at;
  while (i + 1 < size) {
    if (data[i] == 0xFF && data[i + 1] != 0x00 && !(data[i + 1] >= 0xD0 && data[i + 1] <= 0xD7)) {
      break;
    }
    ++i;
  }
  return i - at;
}

}  // namespace

SegmentList ReadSegments(const std::uint8_t* data, std::size_t size) {
  SegmentList list;
  std::size_t i = 0;
  while (i + 1 < size && data[i] == 0xFF) {
    Segment s;
    s.marker = data[i + 1];
    s.offset = i;
    s.length = 2;
    if (!StandsAlone(s.marker)) {
      if (i + 4 > size) break;
      const std::size_t field = static_cast<std::size_t>(data[i + 2] << 8 | data[i + 3]);
      if (field < 2 || i + 2 + field > size) break;
      s.length = 2 + field;
      s.payload = data + i + 4;
      s.payloadSize = field - 2;
    }
    i += s.length;
    if (s.marker == 0xDA) {
      s.entropy = ScanLength(data, size, i);
      i += s.entropy;
    }
    list.segments.push_back(s);
    if (s.marker == 0xD9) {
      list.complete = i == size;
      break;
    }
  }
  return list;
}

}  // namespace romprog::testing
