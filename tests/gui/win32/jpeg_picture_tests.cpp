#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "gui/button_pictures.h"
#include "gui/picture_data.h"
#include "gui/win32/jpeg_picture.h"
#include "tests/gui/win32/decoded_pictures.h"
#include "tests/gui/win32/jpeg_streams.h"

namespace romprog::testing {
namespace {

using win32::BitmapStride;
using win32::DecodeJpegPicture;
using win32::JpegPicture;

TEST(JpegPicture, RowsAreStoredBottomUpAsBlueGreenRed) {
  // Top half red, bottom half blue: the bitmap's first row is the blue bottom.
  TestImage image = SolidImage(16, 16, 255, 0, 0);
  for (int i = 16 * 8; i < 16 * 16; ++i) {
    image.samples[3 * i] = 0;
    image.samples[3 * i + 2] = 255;
  }
  const auto p = Decode(EncodeJpeg(image, 95));
  ASSERT_TRUE(p.has_value());
  const std::uint8_t* first = p->pixels.data();
  const std::uint8_t* last = p->pixels.data() + 15 * p->stride;
  EXPECT_GT(first[0], 200);  // blue byte
  EXPECT_LT(first[2], 60);   // red byte
  EXPECT_LT(last[0], 60);
  EXPECT_GT(last[2], 200);
  EXPECT_LT(first[1], 60);
  EXPECT_LT(last[1], 60);
}

TEST(JpegPicture, RowsArePaddedToFourBytes) {
  for (auto [width, stride] : {std::pair{7, 24}, {4, 12}, {5, 16}, {1, 4}, {48, 144}}) {
    const auto p = Decode(EncodeJpeg(SolidImage(width, 3, 200, 100, 50), 90));
    ASSERT_TRUE(p.has_value()) << width;
    EXPECT_EQ(p->width, width);
    EXPECT_EQ(p->height, 3);
    EXPECT_EQ(p->stride, static_cast<std::size_t>(stride));
    EXPECT_EQ(BitmapStride(width), static_cast<std::size_t>(stride));
    ASSERT_EQ(p->pixels.size(), static_cast<std::size_t>(stride) * 3);
    for (int row = 0; row < 3; ++row) {
      const std::uint8_t* r = p->pixels.data() + row * stride;
      EXPECT_NEAR(r[3 * (width - 1)], 50, 6);
      EXPECT_NEAR(r[3 * (width - 1) + 2], 200, 6);
      for (int pad = 3 * width; pad < stride; ++pad) EXPECT_EQ(r[pad], 0) << width;
    }
  }
}

TEST(JpegPicture, GreyscaleStreamsComeOutAsRgb) {
  TestImage image{8, 16, 1, {}};
  for (int y = 0; y < 16; ++y) image.samples.insert(image.samples.end(), 8, y < 8 ? 30 : 220);
  const auto p = Decode(EncodeJpeg(image, 95));
  ASSERT_TRUE(p.has_value());
  ASSERT_EQ(p->stride, 24u);
  for (int y : {0, 15}) {
    const Rgb c = At(*p, 3, y);
    EXPECT_EQ(c.r, c.g);
    EXPECT_EQ(c.g, c.b);
    EXPECT_NEAR(c.r, y == 0 ? 30 : 220, 8);
  }
}

TEST(JpegPicture, NoPictureWithoutTheStartMarkerOrAReadableHeader) {
  const Bytes good = Stream(0);
  Bytes wrongStart = good;
  wrongStart[1] = 0xD9;
  EXPECT_FALSE(Decode(wrongStart).has_value());
  wrongStart = good;
  wrongStart[0] = 0x00;
  EXPECT_FALSE(Decode(wrongStart).has_value());
  EXPECT_FALSE(DecodeJpegPicture(nullptr, 100).has_value());
  EXPECT_FALSE(DecodeJpegPicture(good.data(), 1).has_value());
  EXPECT_FALSE(Decode(Bytes{0xFF, 0xD8}).has_value());

  // Cut anywhere before the scan header has named all its components: the
  // header is never complete. (What follows the last component's id, its
  // table numbers and the spectral selection, libjpeg checks only once the
  // decoder starts; a fault there leaves a black picture.)
  const SegmentList list = ReadSegments(good.data(), good.size());
  auto sos = std::find_if(list.segments.begin(), list.segments.end(),
                          [](const Segment& s) { return s.marker == 0xDA; });
  ASSERT_NE(sos, list.segments.end());
  for (std::size_t cut = 2; cut < sos->offset + sos->length - 4; ++cut) {
    EXPECT_FALSE(DecodeJpegPicture(good.data(), cut).has_value()) << "cut at " << cut;
  }
  const auto cutInScanHeader = DecodeJpegPicture(good.data(), sos->offset + sos->length - 4);
  ASSERT_TRUE(cutInScanHeader.has_value());
  EXPECT_TRUE(std::all_of(cutInScanHeader->pixels.begin(), cutInScanHeader->pixels.end(),
                          [](std::uint8_t v) { return v == 0; }));
  // A segment claiming more bytes than the stream has.
  EXPECT_FALSE(Decode(Bytes{0xFF, 0xD8, 0xFF, 0xE1, 0xFF, 0xF0, 'x', 'y'}).has_value());
}

TEST(JpegPicture, SkippedSegmentsAreSteppedOverWithinTheStream) {
  const Bytes good = Stream(3);
  // An APP1 segment full of marker-like bytes, right after SOI.
  Bytes padded(good.begin(), good.begin() + 2);
  Bytes app1 = {0xFF, 0xE1, 0x03, 0xEA};
  for (int i = 0; i < 1000; ++i) app1.push_back(i % 2 ? 0xD9 : 0xFF);
  padded.insert(padded.end(), app1.begin(), app1.end());
  padded.insert(padded.end(), good.begin() + 2, good.end());
  const auto expected = Decode(good);
  const auto p = Decode(padded);
  ASSERT_TRUE(p.has_value());
  ASSERT_TRUE(expected.has_value());
  EXPECT_EQ(p->pixels, expected->pixels);
}

TEST(JpegPicture, ACutScanStillGivesTheWholePicture) {
  const Bytes good = Stream(4);
  const auto full = Decode(good);
  ASSERT_TRUE(full.has_value());
  const SegmentList list = ReadSegments(good.data(), good.size());
  const Segment& sos = *std::find_if(list.segments.begin(), list.segments.end(),
                                     [](const Segment& s) { return s.marker == 0xDA; });
  const std::size_t scanStart = sos.offset + sos.length;

  // Roughly the first third of the scan data: the top stripe comes out as in
  // the full picture, the missing end is filled in and the size stays.
  const auto part = DecodeJpegPicture(good.data(), scanStart + sos.entropy / 3);
  ASSERT_TRUE(part.has_value());
  EXPECT_EQ(part->width, 48);
  EXPECT_EQ(part->height, 48);
  ASSERT_EQ(part->pixels.size(), full->pixels.size());
  for (int y = 0; y < 8; ++y) {
    const std::size_t row = static_cast<std::size_t>(47 - y) * full->stride;
    EXPECT_TRUE(std::equal(full->pixels.begin() + row, full->pixels.begin() + row + 144,
                           part->pixels.begin() + row))
        << "image row " << y;
  }
  EXPECT_NE(part->pixels, full->pixels);

  // Every cut inside the scan yields a 48 x 48 picture.
  for (std::size_t cut = scanStart; cut < good.size() - 2; cut += 7) {
    const auto p = DecodeJpegPicture(good.data(), cut);
    ASSERT_TRUE(p.has_value()) << "cut at " << cut;
    ASSERT_EQ(p->pixels.size(), 144u * 48) << "cut at " << cut;
  }
}

TEST(JpegPicture, AFaultAfterTheHeaderKeepsThePictureBlack) {
  // A progressive stream is read in full before the first row comes out; a
  // later scan naming a component the frame lacks stops the decoder there.
  TestImage image = SolidImage(48, 48, 240, 240, 240);
  Bytes stream = EncodeJpeg(image, 90, true);
  const SegmentList list = ReadSegments(stream.data(), stream.size());
  std::vector<const Segment*> scans;
  for (const Segment& s : list.segments) {
    if (s.marker == 0xDA) scans.push_back(&s);
  }
  ASSERT_GE(scans.size(), 2u);
  stream[scans[1]->offset + 5] = 9;  // first component selector of the second scan

  const auto p = Decode(stream);
  ASSERT_TRUE(p.has_value());
  EXPECT_EQ(p->width, 48);
  EXPECT_EQ(p->height, 48);
  ASSERT_EQ(p->pixels.size(), 144u * 48);
  EXPECT_TRUE(
      std::all_of(p->pixels.begin(), p->pixels.end(), [](std::uint8_t v) { return v == 0; }));

  // The same stream unharmed is light all over.
  const auto intact = Decode(EncodeJpeg(image, 90, true));
  ASSERT_TRUE(intact.has_value());
  EXPECT_NEAR(At(*intact, 24, 24).g, 240, 6);
}

}  // namespace
}  // namespace romprog::testing
