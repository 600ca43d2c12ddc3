#include "core/formats/file_content.h"

#include <algorithm>

#include "core/formats/record_lines.h"
#include "core/hex_text.h"

namespace romprog {
namespace {

bool IsLineEnd(std::uint8_t c) {
  return c == '\r' || c == '\n';
}

bool IsBlank(std::uint8_t c) {
  return c == ' ' || c == '\t' || IsLineEnd(c);
}

bool IsPrintable(std::uint8_t c) {
  return (c >= 0x20 && c < 0x7F) || c == '\t';
}

bool AreHexDigits(const std::uint8_t* at, const std::uint8_t* end, std::size_t count) {
  if (static_cast<std::size_t>(end - at) < count) return false;
  return std::all_of(at, at + count, [](std::uint8_t c) { return HexDigitValue(c) >= 0; });
}

}  // namespace

std::optional<FileFormat> FormatOfRecords(const std::uint8_t* head, std::size_t size) {
  const std::uint8_t* end = head + size;
  const std::uint8_t* line = std::find_if_not(head, end, IsBlank);
  const std::uint8_t* lineEnd = std::find_if(line, end, IsLineEnd);
  if (line == lineEnd || !std::all_of(line, lineEnd, IsPrintable)) return std::nullopt;
  if (line[0] == ':' && AreHexDigits(line + 1, lineEnd, 2)) return FileFormat::IntelHex;
  const bool sRecordType = lineEnd - line >= 2 && line[1] >= '0' && line[1] <= '9';
  if (line[0] == 'S' && sRecordType && AreHexDigits(line + 2, lineEnd, 2)) {
    return FileFormat::SRecord;
  }
  return std::nullopt;
}

bool IsPlainText(const std::uint8_t* bytes, std::size_t size) {
  const std::uint8_t* end = bytes + size;
  const std::uint8_t* padding = std::find(bytes, end, kEndOfText);
  if (padding == bytes) return false;
  if (!std::all_of(padding, end, [](std::uint8_t c) { return c == kEndOfText; })) return false;
  if (std::find_if(bytes, padding, IsLineEnd) == padding) return false;
  return std::all_of(bytes, padding, [](std::uint8_t c) { return IsPrintable(c) || IsLineEnd(c); });
}

}  // namespace romprog
