#include "gui/win32/jpeg_picture.h"

#include <csetjmp>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

namespace romprog::win32 {
namespace {

// A larger header is refused rather than allocated: the pictures are small.
constexpr JDIMENSION kMaxSide = 4096;

const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

struct ErrorManager {
  jpeg_error_mgr std;
  std::jmp_buf resume;
};

struct MemorySource {
  jpeg_source_mgr pub;
  const JOCTET* data;
  std::size_t size;
  bool handedOver;
};

// Everything libjpeg and the error exit touch. It lives in the caller's frame,
// so nothing the jump crosses needs unwinding.
struct Decoder {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  MemorySource src;
  bool headerRead;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->resume, 1);
}

// Picture faults are never shown to the user.
void NoMessage(j_common_ptr) {}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

// The first request gets the whole stream. Any later one means the stream
// ended without EOI: supply one, so libjpeg finishes with what it has.
boolean FillInput(j_decompress_ptr cinfo) {
  auto* src = reinterpret_cast<MemorySource*>(cinfo->src);
  if (!src->handedOver) {
    src->handedOver = true;
    src->pub.next_input_byte = src->data;
    src->pub.bytes_in_buffer = src->size;
    return TRUE;
  }
  WARNMS(cinfo, JWRN_JPEG_EOF);
  src->pub.next_input_byte = kEndOfImage;
  src->pub.bytes_in_buffer = sizeof kEndOfImage;
  return TRUE;
}

// A skip past the end stops at the end; the next read then meets EOI.
void SkipInput(j_decompress_ptr cinfo, long count) {
  auto* src = reinterpret_cast<MemorySource*>(cinfo->src);
  if (count <= 0) return;
  if (!src->handedOver) FillInput(cinfo);
  std::size_t n = static_cast<std::size_t>(count);
  if (n > src->pub.bytes_in_buffer) n = src->pub.bytes_in_buffer;
  src->pub.next_input_byte += n;
  src->pub.bytes_in_buffer -= n;
}

void AttachSource(Decoder& d, const std::uint8_t* data, std::size_t size) {
  d.src.pub.init_source = InitSource;
  d.src.pub.fill_input_buffer = FillInput;
  d.src.pub.skip_input_data = SkipInput;
  d.src.pub.resync_to_restart = jpeg_resync_to_restart;
  d.src.pub.term_source = TermSource;
  d.src.pub.next_input_byte = nullptr;
  d.src.pub.bytes_in_buffer = 0;
  d.src.data = data;
  d.src.size = size;
  d.src.handedOver = false;
  d.cinfo.src = &d.src.pub;
}

// Image row `row` (from the top) becomes memory row height-1-row, R G B -> B G R.
void StoreRow(const JSAMPLE* rgb, JDIMENSION row, JpegPicture& picture) {
  std::uint8_t* out =
      picture.pixels.data() +
      static_cast<std::size_t>(picture.height - 1 - static_cast<int>(row)) * picture.stride;
  for (int x = 0; x < picture.width; ++x, rgb += 3, out += 3) {
    out[0] = rgb[2];
    out[1] = rgb[1];
    out[2] = rgb[0];
  }
}

// Runs libjpeg over the stream. An error exit lands back here and returns at
// once; `picture` then holds whatever rows were decoded.
void Run(Decoder& d, const std::uint8_t* data, std::size_t size, JpegPicture& picture) {
  if (setjmp(d.err.resume) != 0) return;
  jpeg_create_decompress(&d.cinfo);
  AttachSource(d, data, size);
  if (jpeg_read_header(&d.cinfo, TRUE) != JPEG_HEADER_OK) return;
  if (d.cinfo.image_width > kMaxSide || d.cinfo.image_height > kMaxSide) return;

  d.cinfo.out_color_space = JCS_RGB;  // greyscale too: the bitmap is always 24-bit
  picture.width = static_cast<int>(d.cinfo.image_width);
  picture.height = static_cast<int>(d.cinfo.image_height);
  picture.stride = BitmapStride(picture.width);
  picture.pixels.assign(picture.stride * static_cast<std::size_t>(picture.height), 0);
  d.headerRead = true;

  jpeg_calc_output_dimensions(&d.cinfo);
  jpeg_start_decompress(&d.cinfo);
  if (d.cinfo.output_width != d.cinfo.image_width ||
      d.cinfo.output_height != d.cinfo.image_height || d.cinfo.output_components != 3) {
    return;
  }
  JSAMPARRAY row = (*d.cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d.cinfo),
                                                JPOOL_IMAGE, d.cinfo.output_width * 3, 1);
  while (d.cinfo.output_scanline < d.cinfo.output_height) {
    const JDIMENSION y = d.cinfo.output_scanline;
    if (jpeg_read_scanlines(&d.cinfo, row, 1) != 1) return;
    StoreRow(row[0], y, picture);
  }
  jpeg_finish_decompress(&d.cinfo);
}

}  // namespace

std::size_t BitmapStride(int width) {
  return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
}

std::optional<JpegPicture> DecodeJpegPicture(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size < 2 || data[0] != 0xFF || data[1] != 0xD8) return std::nullopt;
  Decoder d{};
  d.cinfo.err = jpeg_std_error(&d.err.std);
  d.err.std.error_exit = ErrorExit;
  d.err.std.output_message = NoMessage;
  JpegPicture picture;
  Run(d, data, size, picture);
  jpeg_destroy_decompress(&d.cinfo);
  if (!d.headerRead) return std::nullopt;
  return picture;
}

}  // namespace romprog::win32
