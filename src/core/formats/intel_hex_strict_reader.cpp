#include "core/formats/intel_hex_strict_reader.h"

#include <utility>
#include <vector>

#include "core/formats/record_lines.h"
#include "core/formats/whole_text.h"

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
  std::vector<std::uint8_t> bytes;
  std::string fault = DecodeHexPairs(line, 1, bytes);
  if (!fault.empty()) return fault;
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
  explicit Loader(FileData& data) : data_(data) {}

  // What is wrong with the line; `last` once the end record is read.
  std::string Line(const std::string& line, int number, bool& last) {
    Record record;
    const std::string fault = Decode(line, record);
    if (!fault.empty()) {
      lenientReadsPast_ = line[0] == ':';
      return fault;
    }
    switch (record.type) {
      case kData:
        data_.push_back({base_ + record.offset, std::move(record.data), number});
        break;
      case kEnd:
        last = true;
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

  bool LenientReadsPast() const { return lenientReadsPast_; }

 private:
  FileData& data_;
  bool lenientReadsPast_ = false;
  std::uint32_t base_ = 0;
};

}  // namespace

TextLoad CollectIntelHex(const std::uint8_t* text, std::size_t size, FileData& data) {
  Loader loader(data);
  TextLoad load =
      ReadRecordLines(text, size, [&loader](const std::string& line, int number, bool& last) {
        return loader.Line(line, number, last);
      });
  load.lenientReadsPast = !load.ok && loader.LenientReadsPast();
  return load;
}

TextLoad ReadIntelHexStrictly(const std::uint8_t* text, std::size_t size, std::uint8_t* image,
                              int activeSize) {
  return ReadIntoChip(CollectIntelHex, text, size, image, activeSize);
}

ImageRead StrictHexReader::Read(ByteSource& source, std::int64_t size, std::uint8_t* image,
                                int activeSize) const {
  return ReadCheckedText(source, size, [&](const std::uint8_t* text, std::size_t length) {
    return ReadIntelHexStrictly(text, length, image, activeSize);
  });
}

}  // namespace romprog
