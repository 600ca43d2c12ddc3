// Reading Intel HEX text strictly, for romtool: every record's count,
// characters and checksum are checked, extended address records (02, 04) and
// the end record (01) honoured, and data outside the chip refused, so that a
// damaged file never reaches a chip. The window program keeps the lenient
// reader beside it (intel_hex_reader.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/formats/image_format.h"
#include "core/formats/record_lines.h"
#include "core/formats/whole_text.h"

namespace romprog {

// The data records of the text in `data`, at the addresses the file gives
// them (extended address records applied), unchecked against any chip. The
// text must end with its end record (01) and hold no record after it, and no
// two records may give one address different values. `lenient` reads past
// each such fault and each damaged line (a record whose only fault is its
// checksum keeps its data; records after the end record are read on), and
// the load tells how many it read past.
TextLoad CollectIntelHex(const std::uint8_t* text, std::size_t size, FileData& data,
                         bool lenient = false);

// Stores the data records in `image` (room for kBufferSize bytes); every
// data byte must lie below `activeSize`. The rules are CollectIntelHex's;
// lines end at CR, LF or CR LF; blank lines, trailing blanks and CP/M's 0x1A
// padding are allowed.
TextLoad ReadIntelHexStrictly(const std::uint8_t* text, std::size_t size, std::uint8_t* image,
                              int activeSize);

// romtool's Intel HEX reader: the whole text, read by ReadIntelHexStrictly.
class StrictHexReader final : public ImageReader {
 public:
  FileFormat Format() const override { return FileFormat::IntelHex; }
  ImageRead Read(ByteSource& source, std::int64_t size, std::uint8_t* image,
                 int activeSize) const override;
};

}  // namespace romprog
