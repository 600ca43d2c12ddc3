#include "core/formats/intel_hex_strict_reader.h"

#include <cstdio>
#include <vector>

#include "core/formats/whole_text.h"
#include "core/hex_text.h"

namespace romprog {
namespace {

enum RecordType { kData = 0, kEnd = 1, kSegment = 2, kStartSegment = 3, kLinear = 4, kStart = 5 };

struct Record {
  int type = 0;
  std::uint32_t offset = 0;
  std::vector<std::uint8_t> data;
};

// Decodes one line; an empty text when it is a well-formed record.
std::string Decode(const std::string& line, Record& record) {
  if (line[0] != ':') return "a record starts with ':'";
  if (line.size() % 2 == 0) return "odd number of hex digits";
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 1; i < line.size(); i += 2) {
    const int high = HexDigitValue(line[i]);
    const int low = HexDigitValue(line[i + 1]);
    if (high < 0 || low < 0) return "not a hex digit";
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  if (bytes.size() < 5 || bytes[0] + 5u != bytes.size())
    return "byte count does not match the line";
  unsigned sum = 0;
  for (std::uint8_t byte : bytes) sum += byte;
  if (sum % 256 != 0) return "checksum does not match";
  record.offset = static_cast<std::uint32_t>(bytes[1] << 8 | bytes[2]);
  record.type = bytes[3];
  record.data.assign(bytes.begin() + 4, bytes.end() - 1);
  const std::size_t wanted = record.type == kSegment || record.type == kLinear       ? 2
                             : record.type == kStartSegment || record.type == kStart ? 4
                                                                                     : 0;
  if (record.type > kStart) return "unknown record type " + std::to_string(record.type);
  if (record.type != kData && record.data.size() != wanted) return "wrong length for its type";
  return std::string();
}

class Loader {
 public:
  Loader(std::uint8_t* image, int activeSize) : image_(image), activeSize_(activeSize) {}

  // False once reading is over: a fault or the end record.
  bool Line(std::string line, int number) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    if (line.empty()) return true;
    Record record;
    std::string fault = Decode(line, record);
    if (fault.empty()) fault = Take(record);
    if (fault.empty()) return !ended_;
    result.ok = false;
    result.errorLine = number;
    result.error = fault;
    return false;
  }

  TextLoad result;

 private:
  std::string Take(const Record& record) {
    switch (record.type) {
      case kData:
        return Store(record);
      case kEnd:
        ended_ = true;
        break;
      case kSegment:
        base_ = static_cast<std::uint32_t>(record.data[0] << 8 | record.data[1]) << 4;
        break;
      case kLinear:
        base_ = static_cast<std::uint32_t>(record.data[0] << 8 | record.data[1]) << 16;
        break;
      default:
        break;  // start addresses mean nothing to a chip
    }
    return std::string();
  }

  std::string Store(const Record& record) {
    const std::uint32_t start = base_ + record.offset;
    const auto end = start + static_cast<std::uint32_t>(record.data.size());
    if (end > static_cast<std::uint32_t>(activeSize_)) {
      char text[96];
      std::snprintf(text, sizeof text, "data at 0x%X to 0x%X lies outside the chip (0x%X bytes)",
                    static_cast<unsigned>(start), static_cast<unsigned>(end - 1),
                    static_cast<unsigned>(activeSize_));
      return text;
    }
    if (!record.data.empty() && static_cast<long>(start) > highestStart_) {
      highestStart_ = static_cast<long>(start);
      result.loadedExtent = static_cast<int>(end);
    }
    for (std::size_t k = 0; k < record.data.size(); ++k) image_[start + k] = record.data[k];
    return std::string();
  }

  std::uint8_t* image_;
  int activeSize_;
  std::uint32_t base_ = 0;
  long highestStart_ = -1;
  bool ended_ = false;
};

}  // namespace

TextLoad ReadIntelHexStrictly(const std::uint8_t* text, std::size_t size, std::uint8_t* image,
                              int activeSize) {
  Loader loader(image, activeSize);
  ForEachLine(text, size,
              [&loader](const std::string& line, int number) { return loader.Line(line, number); });
  return loader.result;
}

ImageRead StrictHexReader::Read(ByteSource& source, std::int64_t size, std::uint8_t* image,
                                int activeSize) const {
  return ReadCheckedText(source, size, [&](const std::uint8_t* text, std::size_t length) {
    return ReadIntelHexStrictly(text, length, image, activeSize);
  });
}

}  // namespace romprog
