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

const char* const kBadSum = "checksum does not match";

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
  for (int k = 0; k < addressBytes; ++k) record.address = record.address << 8 | bytes[1 + k];
  record.data.assign(bytes.begin() + 1 + addressBytes, bytes.end() - 1);
  if (static_cast<std::uint8_t>(~sum) != bytes.back()) return kBadSum;
  return std::string();
}

bool IsData(char type) {
  return type == '1' || type == '2' || type == '3';
}

bool IsTermination(char type) {
  return type == '7' || type == '8' || type == '9';
}

class Loader {
 public:
  Loader(FileData& data, bool lenient) : data_(data), faults_(lenient) {}

  // What is wrong with the line that refuses the file.
  std::string Line(const std::string& line, int number) {
    // Text that is no record may follow the termination record (a note,
    // a sector's rest); a record there is data the file would lose.
    if (endLine_ > 0 && !faults_.Lenient()) {
      if (line[0] != 'S' && line[0] != 's') return std::string();
      return "a record after the termination record of line " + std::to_string(endLine_) +
             ": two files run together, or a damaged one? --lenient reads on past it";
    }
    Record record;
    const std::string fault = Decode(line, record);
    lenientReadsPast_ = !fault.empty() && (line[0] == 'S' || line[0] == 's');
    // A record whose only fault is its sum keeps its data when read past.
    if (fault.empty() || (faults_.Lenient() && fault == kBadSum)) {
      const std::string wrong = Take(record, number);
      if (!wrong.empty()) return faults_.Take(wrong, number);
    }
    return faults_.Take(fault, number);
  }

  // What is wrong with a text of `lines` lines once each is read: it has no
  // termination record, nor ends with a count record (srec_cat writes none
  // for an image without an entry point; the count proves the file whole).
  std::string EndFault(int lines) const {
    if (endLine_ > 0 || lines == 0 || lastWasCount_) return std::string();
    return "the file ends without its termination record (S9, S8 or S7): cut short? "
           "--lenient takes it as it is";
  }

  FaultPolicy& Faults() { return faults_; }
  bool LenientReadsPast() const { return lenientReadsPast_; }

 private:
  // The record taken; what contradicts the records before it.
  std::string Take(Record& record, int number) {
    lastWasCount_ = record.type == '5' || record.type == '6';
    if (IsData(record.type)) {
      ++dataRecords_;
      data_.push_back({record.address, std::move(record.data), number});
    } else if (IsTermination(record.type)) {
      if (endLine_ == 0) endLine_ = number;
    } else if (record.type == '5' || record.type == '6') {
      // The count holds only the low 16 (S5) or 24 (S6) bits of a long file's.
      const std::uint32_t mask = record.type == '5' ? 0xFFFFu : 0xFFFFFFu;
      if (record.address != (dataRecords_ & mask)) {
        return "the count record says " + std::to_string(record.address) + " data records, " +
               std::to_string(dataRecords_) +
               " were read: a record lost or added? --lenient takes the file as it is";
      }
    }
    return std::string();
  }

  FileData& data_;
  FaultPolicy faults_;
  bool lenientReadsPast_ = false;
  bool lastWasCount_ = false;
  std::uint32_t dataRecords_ = 0;
  int endLine_ = 0;
};

}  // namespace

TextLoad CollectSRecords(const std::uint8_t* text, std::size_t size, FileData& data, bool lenient) {
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

TextLoad ReadSRecords(const std::uint8_t* text, std::size_t size, std::uint8_t* image,
                      int activeSize) {
  const auto collect = [](const std::uint8_t* t, std::size_t n, FileData& data) {
    return CollectSRecords(t, n, data);
  };
  return ReadIntoChip(collect, text, size, image, activeSize);
}

ImageRead SRecordReader::Read(ByteSource& source, std::int64_t size, std::uint8_t* image,
                              int activeSize) const {
  return ReadCheckedText(source, size, [&](const std::uint8_t* text, std::size_t length) {
    return ReadSRecords(text, length, image, activeSize);
  });
}

}  // namespace romprog
