// Writing the active part of the image as Motorola S-records.
#pragma once

#include <cstdint>
#include <string>

#include "core/formats/image_format.h"

namespace romprog {

constexpr int kSRecordBytes = 32;

// Appends a header record, a data record for every kSRecordBytes bytes of
// the first `activeSize` bytes of `image`, a record count and the
// termination record. `addressBytes` is 2 (S1/S9), 3 (S2/S8) or 4 (S3/S7).
// Lines end in CR LF; hex digits are upper-case.
void WriteSRecords(const std::uint8_t* image, int activeSize, int addressBytes, std::string& out);

class SRecordWriter final : public ImageWriter {
 public:
  explicit SRecordWriter(int addressBytes) : addressBytes_(addressBytes) {}
  std::string Write(const std::uint8_t* image, int activeSize) const override;

 private:
  int addressBytes_;
};

}  // namespace romprog
