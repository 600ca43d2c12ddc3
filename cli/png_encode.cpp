#include "cli/png_encode.h"

#include <png.h>

#include <csetjmp>

namespace romtool {
namespace {

struct Sink {
  std::vector<std::uint8_t>* bytes;
  std::string* error;
};

void Append(png_structp png, png_bytep data, png_size_t length) {
  auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
  sink->bytes->insert(sink->bytes->end(), data, data + length);
}

void NoFlush(png_structp) {}

void OnError(png_structp png, png_const_charp message) {
  auto* sink = static_cast<Sink*>(png_get_error_ptr(png));
  *sink->error = std::string("cannot make the PNG: ") + message;
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Everything libpng needs after setjmp, apart from locals setjmp could lose.
bool Write(png_structp png, png_infop info, const romprog::Picture& picture,
           std::vector<png_text>& chunks) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
               static_cast<png_uint_32>(picture.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!chunks.empty()) png_set_text(png, info, chunks.data(), static_cast<int>(chunks.size()));
  png_write_info(png, info);
  const std::size_t stride = static_cast<std::size_t>(picture.width) * 3;
  for (int row = 0; row < picture.height; ++row) {
    png_write_row(png, picture.rgb.data() + static_cast<std::size_t>(row) * stride);
  }
  png_write_end(png, info);
  return true;
}

}  // namespace

bool EncodePng(const romprog::Picture& picture,
               const std::vector<std::pair<std::string, std::string>>& texts,
               std::vector<std::uint8_t>& png, std::string& error) {
  png.clear();
  Sink sink{&png, &error};
  png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning);
  if (!writer) {
    error = "cannot make the PNG: libpng did not start";
    return false;
  }
  png_infop info = png_create_info_struct(writer);
  std::vector<png_text> chunks;
  for (const auto& [key, text] : texts) {
    png_text chunk{};
    chunk.compression = PNG_TEXT_COMPRESSION_NONE;
    chunk.key = const_cast<char*>(key.c_str());
    chunk.text = const_cast<char*>(text.c_str());
    chunk.text_length = text.size();
    chunks.push_back(chunk);
  }
  bool written = false;
  if (info) {
    png_set_write_fn(writer, &sink, Append, NoFlush);
    written = Write(writer, info, picture, chunks);
  } else {
    error = "cannot make the PNG: out of memory";
  }
  png_destroy_write_struct(&writer, info ? &info : nullptr);
  return written;
}

}  // namespace romtool
