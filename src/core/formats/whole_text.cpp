#include "core/formats/whole_text.h"

namespace romprog {

ReadStatus ReadWholeText(ByteSource& source, std::int64_t size, std::vector<std::uint8_t>& text) {
  if (size > kLongestText) return ReadStatus::TooLarge;
  text.resize(static_cast<std::size_t>(size > 0 ? size : 0));
  return ReadExactly(source, text.data(), text.size()) ? ReadStatus::Read : ReadStatus::Unreadable;
}

void ForEachLine(const std::uint8_t* text, std::size_t size,
                 const std::function<bool(const std::string& line, int number)>& take) {
  std::string line;
  int number = 1;
  for (std::size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(text[i]);
    if (c != '\r' && c != '\n') {
      line += c;
      continue;
    }
    if (!take(line, number++)) return;
    line.clear();
    if (c == '\r' && i + 1 < size && text[i + 1] == '\n') ++i;
  }
  take(line, number);
}

}  // namespace romprog
