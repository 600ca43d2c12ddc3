// Helpers for the picture tests: JPEG streams made with libjpeg, and a reader
// of a stream's marker segments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace romprog::testing {

using Bytes = std::vector<std::uint8_t>;

// Samples from the top row down: `components` bytes per pixel (1 grey, 3 RGB).
struct TestImage {
  int width = 0;
  int height = 0;
  int components = 3;
  Bytes samples;
};

TestImage SolidImage(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b);

Bytes EncodeJpeg(const TestImage& image, int quality, bool progressive = false);

// One marker as it stands in a stream. `payload` is what follows the length
// field; SOI, EOI and RSTn have none.
struct Segment {
  std::uint8_t marker = 0;
  std::size_t offset = 0;   // of the FF byte
  std::size_t length = 0;   // of the whole segment, marker included
  std::size_t entropy = 0;  // after SOS: bytes of scan data that follow it
  const std::uint8_t* payload = nullptr;
  std::size_t payloadSize = 0;
};

// Every marker of the stream in order, scan data stepped over. Stops at EOI or
// at the first byte that does not belong; `complete` tells which.
struct SegmentList {
  std::vector<Segment> segments;
  bool complete = false;  // ended exactly with EOI at the last two bytes
};
SegmentList ReadSegments(const std::uint8_t* data, std::size_t size);

}  // namespace romprog::testing
