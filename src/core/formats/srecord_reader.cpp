#include "core/formats/srecord_reader.h"

#include <utility>
#include <vector>

#include "core/formats/record_lines.h"
#include "core/formats/whole_text.h"

namespace romprog {
namespace {

// Address field width of each record type, 0 for the reserved S4.
int AddressBytes(char type) {
  switch (type) {
    case '0':
    case '1':
    case '5':
    case '9':
      return 2;
    case '2':
    case '6':
    case '8':
      return 3;
    case '3':
    case '7':
      return 4;
    default:
      return 0;
  }
}

struct Record {
  char type = 0;
  std::uint32_t address = 0;
  std::vector<std::uint8_t> data;
};

// Decodes one line; an empty text when it is a well-formed record.
std::string Decode(const std::string& line, Record& record) {
  if (line.size() < 4 || (line[0] != 'S' && line[0] != 's')) return "not an S-record";
  record.type = line[1];
  const int addressBytes = AddressBytes(record.type);
  if (addressBytes == 0) return std::string("unknown record type S") + record.type;
  std::vector<std::uint8_t> bytes;
  const std::string fault = DecodeHexPairs(line, 2, bytes);
  if (!fault.empty()) return fault;
  if (bytes.empty() || bytes[0] + 1u != bytes.size()) return "byte count does not match the line";
  if (bytes[0] < addressBytes + 1) return "record too short for its address";
  unsigned sum = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) sum += bytes[i];
  if (static_cast<std::uint8_t>(~sum) != bytes.back()) return "checksum does not match";
  for (int k = 0; k < addressBytes; ++k) record.address = record.address << 8 | bytes[1 + k];
  record.data.assign(bytes.begin() + 1 + addressBytes, bytes.end() - 1);
  return std::string();
}

bool IsData(char type) {
  return type == '1' || type == '2' || type == '3';
}

}  // namespace

TextLoad CollectSRecords(const std::uint8_t* text, std::size_t size, FileData& data) {
  return ReadRecordLines(text, size, [&data](const std::string& line, int number, bool&) {
    Record record;
    const std::string fault = Decode(line, record);
    if (fault.empty() && IsData(record.type)) {
      data.push_back({record.address, std::move(record.data), number});
    }
    return fault;
  });
}

TextLoad ReadSRecords(const std::uint8_t* text, std::size_t size, std::uint8_t* image,
                      int activeSize) {
  return ReadIntoChip(CollectSRecords, text, size, image, activeSize);
}

ImageRead SRecordReader::Read(ByteSource& source, std::int64_t size, std::uint8_t* image,
                              int activeSize) const {
  return ReadCheckedText(source, size, [&](const std::uint8_t* text, std::size_t length) {
    return ReadSRecords(text, length, image, activeSize);
  });
}

}  // namespace romprog
