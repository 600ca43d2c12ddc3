#include "core/formats/binary_reader.h"

#include <algorithm>

#include "core/image.h"

namespace romprog {

ImageRead BinaryReader::Read(ByteSource& source, std::int64_t size, std::uint8_t* image,
                             int activeSize) const {
  const std::int64_t wanted =
      std::max<std::int64_t>(0, std::min<std::int64_t>({size, activeSize, kBufferSize}));
  ImageRead result;
  if (!ReadExactly(source, image, static_cast<std::size_t>(wanted))) {
    result.status = ReadStatus::Unreadable;
  }
  return result;
}

}  // namespace romprog
