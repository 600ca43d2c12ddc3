#include "core/formats/binary_writer.h"

namespace romprog {

std::string BinaryWriter::Write(const std::uint8_t* image, int activeSize) const {
  if (activeSize <= 0) return std::string();
  return std::string(reinterpret_cast<const char*>(image), static_cast<std::size_t>(activeSize));
}

}  // namespace romprog
