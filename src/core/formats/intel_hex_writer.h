// Writing the active part of the image as Intel HEX text.
#pragma once

#include <cstdint>
#include <string>

#include "core/formats/image_format.h"

namespace romprog {

constexpr int kHexRecordBytes = 16;
constexpr char kHexEndRecord[] = ":00000001FF\r\n";

// One data record of 16 bytes at `offset`, upper-case, with its checksum and CR LF.
void AppendHexRecord(const std::uint8_t* bytes, int offset, std::string& out);

// Appends to `out` a data record for every 16 bytes of the first
// `activeSize` bytes of `image`, each 45 bytes long, then the end record.
// `activeSize` is a multiple of 16, at most 65536.
void WriteIntelHex(const std::uint8_t* image, int activeSize, std::string& out);

class IntelHexWriter final : public ImageWriter {
 public:
  std::string Write(const std::uint8_t* image, int activeSize) const override;
};

}  // namespace romprog
