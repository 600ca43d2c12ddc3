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

const char* const kBadSum = "checksum does not match";

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
  record.offset = static_cast<std::uint32_t>(bytes[1] << 8 | bytes[2]);
  record.type = bytes[3];
  record.data.assign(bytes.begin() + 4, bytes.end() - 1);
  const std::size_t wanted = record.type == kSegment || record.type == kLinear       ? 2
                             : record.type == kStartSegment || record.type == kStart ? 4
                                                                                     : 0;
  if (record.type > kStart) return "unknown record type " + std::to_string(record.type);
  if (record.type != kData && record.data.size() != wanted) return "wrong length for its type";
  if (sum % 256 != 0) return kBadSum;
  return std::string();
}

class Loader {
 public:
  Loader(FileData& data, bool lenient) : data_(data), faults_(lenient) {}

  // What is wrong with the line that refuses the file.
  std::string Line(const std::string& line, int number) {
    // Text that is no record may follow the end record (a note, a
    // sector's rest); a record there is data the file would lose.
    if (endLine_ > 0 && !faults_.Lenient()) {
      if (line[0] != ':') return std::string();
      return "a record after the end record of line " + std::to_string(endLine_) +
             ": two files run together, or a damaged one? --lenient reads on past the end record";
    }
    Record record;
    std::string fault = Decode(line, record);
    if (!fault.empty()) {
      lenientReadsPast_ = line[0] == ':';
      // A record whose only fault is its sum keeps its data when read past.
      if (faults_.Lenient() && fault == kBadSum) Take(record, number);
      return faults_.Take(fault, number);
    }
    Take(record, number);
    return std::string();
  }

  // What is wrong with a text of `lines` lines in all once each is read:
  // it has no end record.
  std::string EndFault(int lines) const {
    if (endLine_ > 0 || lines == 0) return std::string();
    return "the file ends without its end record (:00000001FF): cut short? --lenient takes it "
           "as it is";
  }

  bool LenientReadsPast() const { return lenientReadsPast_; }
  FaultPolicy& Faults() { return faults_; }

 private:
  void Take(Record& record, int number) {
    switch (record.type) {
      case kData:
        data_.push_back({base_ + record.offset, std::move(record.data), number});
        break;
      case kEnd:
        if (endLine_ == 0) endLine_ = number;
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
  }

  FileData& data_;
  FaultPolicy faults_;
  bool lenientReadsPast_ = false;
  int endLine_ = 0;
  std::uint32_t base_ = 0;
};

}  // namespace

TextLoad CollectIntelHex(const std::uint8_t* text, std::size_t size, FileData& data, bool lenient) {
  Loader loader(data, lenient);
  int lastLine = 0;
  TextLoad load = ReadRecordLines(
      text, size,
      [&loader](const std::string& line, int number) { return loader.Line(line, number); },
      &lastLine);
  if (load.ok) CheckWholeText(loader.EndFault(lastLine), lastLine, data, loader.Faults(), load);
  load.lenientReadsPast = !load.ok && loader.LenientReadsPast();
  loader.Faults().Into(load);
  return load;
}

TextLoad ReadIntelHexStrictly(const std::uint8_t* text, std::size_t size, std::uint8_t* image,
                              int activeSize) {
  const auto collect = [](const std::uint8_t* t, std::size_t n, FileData& data) {
    return CollectIntelHex(t, n, data);
  };
  return ReadIntoChip(collect, text, size, image, activeSize);
}

ImageRead StrictHexReader::Read(ByteSource& source, std::int64_t size, std::uint8_t* image,
                                int activeSize) const {
  return ReadCheckedText(source, size, [&](const std::uint8_t* text, std::size_t length) {
    return ReadIntelHexStrictly(text, length, image, activeSize);
  });
}

}  // namespace romprog
