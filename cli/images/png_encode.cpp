#include "cli/images/png_encode.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <map>

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

// A picture of few colours as palette indexes, a byte a pixel: a third of
// the bytes to compress, and runs that deflate well unfiltered. False when
// it has more colours than a palette holds.
struct Indexed {
  std::vector<png_color> palette;
  std::vector<std::uint8_t> pixels;
};

bool ToPalette(const romprog::Picture& picture, Indexed& indexed) {
  std::map<std::uint32_t, std::uint8_t> index;
  std::uint32_t lastKey = 0;
  indexed.pixels.resize(picture.rgb.size() / 3);
  for (std::size_t k = 0; k < indexed.pixels.size(); ++k) {
    const std::uint8_t* rgb = &picture.rgb[k * 3];
    const std::uint32_t key = (std::uint32_t{rgb[0]} << 16) | (rgb[1] << 8) | rgb[2];
    // Neighbouring pixels mostly share a colour: the last one is asked first.
    if (k > 0 && key == lastKey) {
      indexed.pixels[k] = indexed.pixels[k - 1];
      continue;
    }
    lastKey = key;
    auto found = index.find(key);
    if (found == index.end()) {
      if (indexed.palette.size() == PNG_MAX_PALETTE_LENGTH) return false;
      found = index.emplace(key, static_cast<std::uint8_t>(indexed.palette.size())).first;
      indexed.palette.push_back(png_color{rgb[0], rgb[1], rgb[2]});
    }
    indexed.pixels[k] = found->second;
  }
  return true;
}

// Everything libpng needs after setjmp, apart from locals setjmp could lose.
bool Write(png_structp png, png_infop info, const romprog::Picture& picture, const Indexed& indexed,
           std::vector<png_text>& chunks) {
  if (setjmp(png_jmpbuf(png))) return false;
  const bool paletted = !indexed.palette.empty();
  // Up to 16 colours: two pixels a byte.
  const int depth = paletted && indexed.palette.size() <= 16 ? 4 : 8;
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
               static_cast<png_uint_32>(picture.height), depth,
               paletted ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (paletted) {
    png_set_PLTE(png, info, indexed.palette.data(), static_cast<int>(indexed.palette.size()));
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  }
  if (!chunks.empty()) png_set_text(png, info, chunks.data(), static_cast<int>(chunks.size()));
  png_write_info(png, info);
  const std::uint8_t* rows = paletted ? indexed.pixels.data() : picture.rgb.data();
  const std::size_t stride = static_cast<std::size_t>(picture.width) * (paletted ? 1 : 3);
  std::vector<std::uint8_t> packed(static_cast<std::size_t>(picture.width + 1) / 2);
  for (int row = 0; row < picture.height; ++row) {
    const std::uint8_t* line = rows + static_cast<std::size_t>(row) * stride;
    if (depth == 4) {
      std::fill(packed.begin(), packed.end(), 0);
      for (int x = 0; x < picture.width; ++x) {
        packed[static_cast<std::size_t>(x / 2)] |=
            static_cast<std::uint8_t>(line[x] << (x % 2 == 0 ? 4 : 0));
      }
      line = packed.data();
    }
    png_write_row(png, line);
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
  Indexed indexed;
  if (!ToPalette(picture, indexed)) indexed.palette.clear();
  bool written = false;
  if (info) {
    png_set_write_fn(writer, &sink, Append, NoFlush);
    written = Write(writer, info, picture, indexed, chunks);
  } else {
    error = "cannot make the PNG: out of memory";
  }
  png_destroy_write_struct(&writer, info ? &info : nullptr);
  return written;
}

}  // namespace romtool
