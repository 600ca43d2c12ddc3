// The findings of an image's checks (core/rescue/image_checks.h) as romtool
// tells them: one line each, with the evidence.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace romtool {

// A line for each finding on the first `size` cells of `image`, read as a
// `chipName`; none when the image shows nothing of note.
std::vector<std::string> ImageNotes(const std::uint8_t* image, int size, const char* chipName);

}  // namespace romtool
