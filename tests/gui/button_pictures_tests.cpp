#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "gui/button_pictures.h"
#include "gui/control_ids.h"
#include "gui/picture_data.h"
#include "gui/win32/jpeg_picture.h"
#include "tests/gui/fake_toolkit.h"
#include "tests/gui/test_app.h"
#include "tests/gui/win32/decoded_pictures.h"
#include "tests/gui/win32/jpeg_streams.h"

namespace romprog::testing {
namespace {
using win32::DecodeJpegPicture;
using win32::JpegPicture;

std::size_t CountMarkers(const SegmentList& list, std::uint8_t marker) {
  return static_cast<std::size_t>(
      std::count_if(list.segments.begin(), list.segments.end(),
                    [&](const Segment& s) { return s.marker == marker; }));
}

// Tables in the DQT segments, as (precision << 4 | id) bytes.
std::multiset<int> QuantTables(const SegmentList& list) {
  std::multiset<int> tables;
  for (const Segment& s : list.segments) {
    if (s.marker != 0xDB) continue;
    for (std::size_t i = 0; i < s.payloadSize;) {
      tables.insert(s.payload[i]);
      i += 1 + ((s.payload[i] >> 4) ? 128 : 64);
    }
  }
  return tables;
}

// Tables in the DHT segments, as (class << 4 | id) bytes.
std::multiset<int> HuffmanTables(const SegmentList& list) {
  std::multiset<int> tables;
  for (const Segment& s : list.segments) {
    if (s.marker != 0xC4) continue;
    for (std::size_t i = 0; i + 17 <= s.payloadSize;) {
      tables.insert(s.payload[i]);
      std::size_t values = 0;
      for (int k = 1; k <= 16; ++k) values += s.payload[i + k];
      i += 17 + values;
    }
  }
  return tables;
}

bool IsFrameMarker(std::uint8_t m) {
  return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

TEST(EmbeddedPictures, EachStreamIsABaselineJfifPictureOf48By48) {
  for (int n = 0; n < kPictureCount; ++n) {
    SCOPED_TRACE("picture " + std::to_string(n));
    const Bytes b = Stream(n);
    const SegmentList list = ReadSegments(b.data(), b.size());
    ASSERT_TRUE(list.complete) << "no EOI as the last two bytes";
    ASSERT_GE(list.segments.size(), 3u);
    EXPECT_EQ(list.segments.front().marker, 0xD8);

    const Segment& app0 = list.segments[1];
    ASSERT_EQ(app0.marker, 0xE0);
    const Bytes jfif(app0.payload, app0.payload + app0.payloadSize);
    // "JFIF\0", version 1.01, aspect-ratio units, density 1:1, no thumbnail
    EXPECT_EQ(jfif, (Bytes{'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0}));

    std::size_t frames = 0;
    for (const Segment& s : list.segments) frames += IsFrameMarker(s.marker);
    EXPECT_EQ(frames, 1u);
    auto sof = std::find_if(list.segments.begin(), list.segments.end(),
                            [](const Segment& s) { return s.marker == 0xC0; });
    ASSERT_NE(sof, list.segments.end()) << "not baseline";
    const Bytes frame(sof->payload, sof->payload + sof->payloadSize);
    // 8-bit, 48 x 48, Y 2x2, Cb 1x1, Cr 1x1; Y on table 0, chroma on table 1
    EXPECT_EQ(frame, (Bytes{8, 0, 48, 0, 48, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1}));

    EXPECT_EQ(QuantTables(list), (std::multiset<int>{0x00, 0x01}));
    EXPECT_EQ(HuffmanTables(list), (std::multiset<int>{0x00, 0x01, 0x10, 0x11}));
    EXPECT_EQ(CountMarkers(list, 0xDA), 1u);
    EXPECT_EQ(list.segments.back().marker, 0xD9);
  }
}

TEST(EmbeddedPictures, StreamsLieOneAfterAnotherAsTheFilesHoldThem) {
  std::size_t next = 0;
  for (int n = 0; n < kPictureCount; ++n) {
    EXPECT_EQ(picture_data::kOffsets[n], next) << n;
    next += picture_data::kSizes[n];
  }
  EXPECT_EQ(picture_data::kTotalSize, next);
  EXPECT_EQ(EmbeddedPicture(-1).data, nullptr);
  EXPECT_EQ(EmbeddedPicture(kPictureCount).data, nullptr);

  namespace fs = std::filesystem;
  for (int n = 0; n < kPictureCount; ++n) {
    const std::string prefix = "picture" + std::to_string(n) + "_";
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(ROMPROG_PICTURE_DIR)) {
      const std::string name = e.path().filename().string();
      if (name.rfind(prefix, 0) == 0 && e.path().extension() == ".jpg") files.push_back(e.path());
    }
    ASSERT_EQ(files.size(), 1u) << prefix;
    std::ifstream in(files[0], std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(Stream(n), file) << files[0];
  }
}

TEST(EmbeddedPictures, DecodeTo48By48OnAGreyBackgroundWithAMotif) {
  for (int n = 0; n < kPictureCount; ++n) {
    SCOPED_TRACE("picture " + std::to_string(n));
    const auto p = Decode(Stream(n));
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->width, 48);
    EXPECT_EQ(p->height, 48);
    EXPECT_EQ(p->stride, 144u);
    ASSERT_EQ(p->pixels.size(), 144u * 48);
    for (auto [x, y] : {std::pair{0, 0}, {47, 0}, {0, 47}, {47, 47}}) {
      const Rgb c = At(*p, x, y);
      // Colour from the motif rings a little into the corners.
      EXPECT_NEAR(c.r, 127, 16) << x << "," << y;
      EXPECT_NEAR(c.g, 127, 16) << x << "," << y;
      EXPECT_NEAR(c.b, 127, 16) << x << "," << y;
    }
    int motif = 0;
    for (int y = 0; y < 48; ++y) {
      for (int x = 0; x < 48; ++x) {
        const Rgb c = At(*p, x, y);
        motif += std::abs(c.r - 127) + std::abs(c.g - 127) + std::abs(c.b - 127) > 60;
      }
    }
    EXPECT_GT(motif, 48 * 48 / 8) << "hardly anything but background";
  }
}

TEST(EmbeddedPictures, EachButtonGetsItsOwnStream) {
  // Picture n goes to these controls, in this order.
  const int owner[kPictureCount] = {id::kOpenFile,   id::kSaveFile,    4, 5, 6, 7,
                                    id::kHelpToggle, id::kBufferToggle};
  struct Recording : FakeToolkit {
    std::vector<std::pair<int, Bytes>> asked;
    PictureHandle PictureFromMemory(int number, const std::uint8_t* data,
                                    std::size_t size) override {
      asked.emplace_back(number, Bytes(data, data + size));
      return FakeToolkit::PictureFromMemory(number, data, size);
    }
  };
  Recording ui;
  NoSerialPorts ports;
  App app(ui, ports, ports);
  StartUp(app);
  ASSERT_EQ(ui.asked.size(), static_cast<std::size_t>(kPictureCount));
  for (int n = 0; n < kPictureCount; ++n) {
    EXPECT_EQ(ui.asked[n].first, n);
    EXPECT_EQ(ui.asked[n].second, Stream(n)) << n;
    EXPECT_EQ(ui.control(owner[n]).desc.picture, 0x1000u + n) << "control " << owner[n];
  }
}

}  // namespace
}  // namespace romprog::testing
