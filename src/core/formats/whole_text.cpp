#include "core/formats/whole_text.h"

namespace romprog {

ReadStatus ReadWholeText(ByteSource& source, std::int64_t size, std::vector<std::uint8_t>& text) {
  if (size > kLongestText) return ReadStatus::TooLarge;
  text.resize(static_cast<std::size_t>(size > 0 ? size : 0));
  return ReadExactly(source, text.data(), text.size()) ? ReadStatus::Read : ReadStatus::Unreadable;
}

}  // namespace romprog
