#include "core/formats/record_lines.h"

#include <algorithm>
#include <cstdio>

#include "core/hex_text.h"

namespace romprog {

TextLoad ReadRecordLines(
    const std::uint8_t* text, std::size_t size,
    const std::function<std::string(const std::string& line, bool& last)>& take) {
  const std::uint8_t* end = std::find(text, text + size, kEndOfText);
  TextLoad load;
  std::string line;
  int number = 1;
  bool last = false;
  for (const std::uint8_t* at = text; !last; ++at) {
    const bool ended = at == end;
    if (!ended && *at != '\r' && *at != '\n') {
      line += static_cast<char>(*at);
      continue;
    }
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    if (!line.empty()) {
      const std::string fault = take(line, last);
      if (!fault.empty()) {
        load.ok = false;
        load.errorLine = number;
        load.error = fault;
        return load;
      }
    }
    if (ended) break;
    line.clear();
    ++number;
    if (*at == '\r' && at + 1 != end && at[1] == '\n') ++at;
  }
  return load;
}

std::string DecodeHexPairs(const std::string& line, std::size_t from,
                           std::vector<std::uint8_t>& bytes) {
  if ((line.size() - from) % 2 != 0) return "odd number of hex digits";
  for (std::size_t i = from; i < line.size(); i += 2) {
    const int high = HexDigitValue(line[i]);
    const int low = HexDigitValue(line[i + 1]);
    if (high < 0 || low < 0) return "not a hex digit";
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return std::string();
}

std::string ChipData::Store(std::uint32_t start, const std::vector<std::uint8_t>& data) {
  if (data.empty()) return std::string();
  const auto end = static_cast<std::uint64_t>(start) + data.size();
  if (activeSize_ < 0 || end > static_cast<std::uint64_t>(activeSize_)) {
    char text[96];
    std::snprintf(text, sizeof text, "data at 0x%X to 0x%llX lies outside the chip (0x%X bytes)",
                  static_cast<unsigned>(start), static_cast<unsigned long long>(end - 1),
                  static_cast<unsigned>(activeSize_));
    return text;
  }
  highest_.Take(static_cast<long>(start), static_cast<long>(data.size()));
  std::copy(data.begin(), data.end(), image_ + start);
  return std::string();
}

}  // namespace romprog
