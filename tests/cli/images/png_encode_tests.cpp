// The chip's picture as PNG: libpng's reader gets back every pixel, in the
// palette forms (up to 16 colours, up to 256) and in plain RGB.
#include <gtest/gtest.h>
#include <png.h>

#include "cli/images/png_encode.h"

namespace romtool {
namespace {

romprog::Picture Stripes(int colours) {
  romprog::Picture picture;
  picture.width = 37;  // odd: the last byte of a 4-bit row holds one pixel
  picture.height = 11;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      // A colour a pixel up to `colours` (407 pixels), each distinct.
      const int c = (x + y * 37) % colours;
      picture.rgb.push_back(static_cast<std::uint8_t>(c & 0xFF));
      picture.rgb.push_back(static_cast<std::uint8_t>((c >> 8) * 40 + 1));
      picture.rgb.push_back(static_cast<std::uint8_t>(255 - (c & 0xFF)));
    }
  }
  return picture;
}

TEST(PngEncode, EveryPixelComesBackWithTheTexts) {
  for (int colours : {2, 16, 17, 256, 700}) {
    const romprog::Picture picture = Stripes(colours);
    std::vector<std::uint8_t> png;
    std::string error;
    ASSERT_TRUE(EncodePng(picture, {{"Description", "legend words"}}, png, error)) << error;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size())) << colours;
    EXPECT_EQ(image.width, 37u);
    EXPECT_EQ(image.height, 11u);
    EXPECT_EQ((image.format & PNG_FORMAT_FLAG_COLORMAP) != 0, colours <= 256) << colours;
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> back(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, back.data(), 0, nullptr)) << colours;
    EXPECT_EQ(back, picture.rgb) << colours;
    const std::string bytes(png.begin(), png.end());
    EXPECT_NE(bytes.find("legend words"), std::string::npos);
  }
}

}  // namespace
}  // namespace romtool
