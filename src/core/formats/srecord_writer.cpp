#include "core/formats/srecord_writer.h"

#include <algorithm>

#include "core/hex_text.h"

namespace romprog {
namespace {

constexpr char kHeaderText[] = "romprog";

void PutByte(std::uint8_t value, std::string& out, unsigned& sum) {
  out += HexText(value, 2);
  sum += value;
}

// The data record type and the matching termination type.
char DataType(int addressBytes) {
  return static_cast<char>('1' + (addressBytes - 2));
}
char TerminationType(int addressBytes) {
  return static_cast<char>('9' - (addressBytes - 2));
}

// One record of any type: "S" + type, count, address, data, checksum, CR LF.
void AppendSRecord(char type, std::uint32_t address, int addressBytes, const std::uint8_t* data,
                   int size, std::string& out) {
  unsigned sum = 0;
  out += 'S';
  out += type;
  PutByte(static_cast<std::uint8_t>(addressBytes + size + 1), out, sum);
  for (int shift = 8 * (addressBytes - 1); shift >= 0; shift -= 8) {
    PutByte(static_cast<std::uint8_t>(address >> shift), out, sum);
  }
  for (int k = 0; k < size; ++k) PutByte(data[k], out, sum);
  unsigned ignored = 0;
  PutByte(static_cast<std::uint8_t>(~sum), out, ignored);
  out += "\r\n";
}

}  // namespace

void WriteSRecords(const std::uint8_t* image, int activeSize, int addressBytes, std::string& out) {
  const auto* header = reinterpret_cast<const std::uint8_t*>(kHeaderText);
  AppendSRecord('0', 0, 2, header, sizeof kHeaderText - 1, out);
  int records = 0;
  for (int offset = 0; offset < activeSize; offset += kSRecordBytes) {
    const int size = std::min(kSRecordBytes, activeSize - offset);
    AppendSRecord(DataType(addressBytes), static_cast<std::uint32_t>(offset), addressBytes,
                  image + offset, size, out);
    ++records;
  }
  if (records <= 0xFFFF)
    AppendSRecord('5', static_cast<std::uint32_t>(records), 2, nullptr, 0, out);
  AppendSRecord(TerminationType(addressBytes), 0, addressBytes, nullptr, 0, out);
}

std::string SRecordWriter::Write(const std::uint8_t* image, int activeSize) const {
  std::string content;
  WriteSRecords(image, activeSize, addressBytes_, content);
  return content;
}

}  // namespace romprog
