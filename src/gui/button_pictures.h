// The eight pictures of the image buttons, decoded from the program's data.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gui/picture_data.h"
#include "gui/toolkit.h"

namespace romprog {

struct PictureStream {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
};

// The embedded JPEG stream of picture `number`; empty outside 0..7.
PictureStream EmbeddedPicture(int number);

// Decodes picture `number` (0..7) through the toolkit; 0 when it cannot.
PictureHandle ButtonPicture(Toolkit& ui, int number);

}  // namespace romprog
