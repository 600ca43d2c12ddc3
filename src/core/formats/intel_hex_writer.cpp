#include "core/formats/intel_hex_writer.h"

#include "core/hex_text.h"

namespace romprog {
namespace {

char* PutByte(std::uint8_t value, char* at) {
  at[0] = HexDigit(value >> 4);
  at[1] = HexDigit(value);
  return at + 2;
}

}  // namespace

// The line is built in place and appended at once: saving a 27C256 image
// writes 2048 of them.
void AppendHexRecord(const std::uint8_t* bytes, int offset, std::string& out) {
  const auto high = static_cast<std::uint8_t>(offset >> 8);
  const auto low = static_cast<std::uint8_t>(offset);
  unsigned sum = kHexRecordBytes + high + low;
  char line[45] = {':', '1', '0'};
  char* at = PutByte(low, PutByte(high, line + 3));
  *at++ = '0';
  *at++ = '0';
  for (int k = 0; k < kHexRecordBytes; ++k) {
    at = PutByte(bytes[k], at);
    sum += bytes[k];
  }
  at = PutByte(static_cast<std::uint8_t>(0x100 - (sum & 0xFF)), at);
  *at++ = '\r';
  *at++ = '\n';
  out.append(line, static_cast<std::size_t>(at - line));
}

void WriteIntelHex(const std::uint8_t* image, int activeSize, std::string& out) {
  constexpr std::size_t kRecordLength = 45;
  const std::size_t records = activeSize > 0 ? static_cast<std::size_t>(activeSize) / 16 : 0;
  out.reserve(out.size() + records * kRecordLength + sizeof kHexEndRecord);
  for (int offset = 0; offset + kHexRecordBytes <= activeSize; offset += kHexRecordBytes) {
    AppendHexRecord(image + offset, offset, out);
  }
  out += kHexEndRecord;
}

std::string IntelHexWriter::Write(const std::uint8_t* image, int activeSize) const {
  std::string content;
  WriteIntelHex(image, activeSize, content);
  return content;
}

}  // namespace romprog
