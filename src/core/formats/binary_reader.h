// Reading a raw binary image: the file's first bytes are the chip's cells.
#pragma once

#include "core/formats/image_format.h"

namespace romprog {

// Takes as many of the file's bytes as the chip holds; a shorter file leaves
// the cells after it as they were. Unreadable when the source fails or ends
// before it has given them.
class BinaryReader final : public ImageReader {
 public:
  FileFormat Format() const override { return FileFormat::Binary; }
  ImageRead Read(ByteSource& source, std::int64_t size, std::uint8_t* image,
                 int activeSize) const override;
};

}  // namespace romprog
