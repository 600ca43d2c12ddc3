#include "core/formats/srecord_reader.h"

#include <algorithm>
#include <vector>

#include "core/formats/whole_text.h"
#include "core/hex_text.h"
#include "core/image.h"

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
  if (line.size() % 2 != 0) return "odd number of hex digits";
  for (std::size_t i = 2; i < line.size(); i += 2) {
    const int high = HexDigitValue(line[i]);
    const int low = HexDigitValue(line[i + 1]);
    if (high < 0 || low < 0) return "not a hex digit";
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
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

class Loader {
 public:
  Loader(std::uint8_t* image, int activeSize) : image_(image), activeSize_(activeSize) {}

  void Store(const Record& record) {
    if (record.data.empty() || record.address >= static_cast<std::uint32_t>(activeSize_)) return;
    const auto size = static_cast<std::uint32_t>(record.data.size());
    if (static_cast<long>(record.address) > highestStart_) {
      highestStart_ = static_cast<long>(record.address);
      result.loadedExtent = static_cast<int>(record.address + size);
    }
    const std::uint32_t room = static_cast<std::uint32_t>(kBufferSize) - record.address;
    std::copy_n(record.data.begin(), std::min(size, room), image_ + record.address);
  }

  void Line(std::string line, int number) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    if (line.empty() || !result.ok) return;
    Record record;
    const std::string fault = Decode(line, record);
    if (!fault.empty()) {
      result.ok = false;
      result.errorLine = number;
      result.error = fault;
    } else if (IsData(record.type)) {
      Store(record);
    }
  }

  TextLoad result;

 private:
  std::uint8_t* image_;
  int activeSize_;
  long highestStart_ = -1;
};

}  // namespace

TextLoad ReadSRecords(const std::uint8_t* text, std::size_t size, std::uint8_t* image,
                      int activeSize) {
  Loader loader(image, activeSize);
  ForEachLine(text, size, [&loader](const std::string& line, int number) {
    loader.Line(line, number);
    return true;
  });
  return loader.result;
}

ImageRead SRecordReader::Read(ByteSource& source, std::int64_t size, std::uint8_t* image,
                              int activeSize) const {
  return ReadCheckedText(source, size, [&](const std::uint8_t* text, std::size_t length) {
    return ReadSRecords(text, length, image, activeSize);
  });
}

}  // namespace romprog
