// Writing a raw binary image: exactly the active part of the image.
#pragma once

#include "core/formats/image_format.h"

namespace romprog {

class BinaryWriter final : public ImageWriter {
 public:
  std::string Write(const std::uint8_t* image, int activeSize) const override;
};

}  // namespace romprog
