// The button pictures' JPEG streams as the build embeds them: one array with
// the eight streams one after another (the source is generated from
// resources/pictures at build time).
#pragma once

#include <cstddef>
#include <cstdint>

namespace romprog {

// One picture for every image button.
constexpr int kPictureCount = 8;

}  // namespace romprog

namespace romprog::picture_data {

extern const std::uint8_t kBytes[];
extern const std::size_t kOffsets[kPictureCount];  // where stream n starts in kBytes
extern const std::size_t kSizes[kPictureCount];    // its length in bytes
extern const std::size_t kTotalSize;               // all streams together

}  // namespace romprog::picture_data
