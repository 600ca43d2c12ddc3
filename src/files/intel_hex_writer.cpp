#include "files/intel_hex_writer.h"

namespace romprog {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

void AppendByte(std::uint8_t value, std::string& out) {
  out.push_back(kDigits[value >> 4]);
  out.push_back(kDigits[value & 0x0F]);
}

}  // namespace

void AppendHexRecord(const std::uint8_t* bytes, int offset, std::string& out) {
  const auto high = static_cast<std::uint8_t>(offset >> 8);
  const auto low = static_cast<std::uint8_t>(offset);
  unsigned sum = kHexRecordBytes + high + low;
  out += ":10";
  AppendByte(high, out);
  AppendByte(low, out);
  out += "00";
  for (int k = 0; k < kHexRecordBytes; ++k) {
    AppendByte(bytes[k], out);
    sum += bytes[k];
  }
  AppendByte(static_cast<std::uint8_t>(0x100 - (sum & 0xFF)), out);
  out += "\r\n";
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

}  // namespace romprog
