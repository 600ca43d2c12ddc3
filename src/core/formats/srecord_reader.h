// Reading Motorola S-records into the image. Unlike the Intel HEX reader
// this one is strict: S-records carry a length and a checksum in every line,
// so a line that does not add up is a damaged file and the load fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/formats/image_format.h"
#include "core/formats/record_lines.h"
#include "core/formats/whole_text.h"

namespace romprog {

// The data of the S1, S2 and S3 records in `data` at the addresses the file
// gives them, unchecked against any chip. The text must end with a
// termination record (S7, S8, S9), or a count record as srec_cat's do, and
// hold no record after a termination record; a count record
// (S5, S6) must give the number of data records before it; no two records
// may give one address different values. `lenient` reads past each such
// fault and each damaged line (a record whose only fault is its checksum
// keeps its data; records after the termination are read on), and the
// load tells how many it read past.
TextLoad CollectSRecords(const std::uint8_t* text, std::size_t size, FileData& data,
                         bool lenient = false);

// Stores the data of S1, S2 and S3 records in `image` (room for kBufferSize
// bytes); every data byte must lie below `activeSize`, as in romtool's Intel
// HEX reading: a chip takes no part of a file. The rules are
// CollectSRecords'. Lines end at CR, LF or CR LF;
// blank lines, trailing blanks and CP/M's 0x1A padding are allowed.
TextLoad ReadSRecords(const std::uint8_t* text, std::size_t size, std::uint8_t* image,
                      int activeSize);

// The S-record reader: the whole text, read by ReadSRecords.
class SRecordReader final : public ImageReader {
 public:
  FileFormat Format() const override { return FileFormat::SRecord; }
  ImageRead Read(ByteSource& source, std::int64_t size, std::uint8_t* image,
                 int activeSize) const override;
};

}  // namespace romprog
