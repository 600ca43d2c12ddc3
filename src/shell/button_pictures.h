// The eight pictures of the image buttons, decoded from the program's data.
#pragma once

#include "shell/toolkit.h"

namespace romprog {

constexpr int kPictureCount = 8;

// Decodes picture `number` (0..7) through the toolkit; 0 when it cannot.
PictureHandle ButtonPicture(Toolkit& ui, int number);

}  // namespace romprog
