// The DAT reader over any bytes, handed to the push parser a few at a time so
// elements, attributes and entities fall across chunk boundaries. Every ROM
// it gives has a CRC-32; a file it refuses says why.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/images/dat_reader.h"
#include "tests/fuzz/fuzz_image.h"

namespace {

class Trickle final : public romprog::ByteSource {
 public:
  Trickle(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}
  std::int64_t Read(std::uint8_t* out, std::size_t size) override {
    std::size_t n = size < left_ ? size : left_;
    if (n > 7) n = 7;
    for (std::size_t k = 0; k < n; ++k) out[k] = data_[k];
    data_ += n;
    left_ -= n;
    return static_cast<std::int64_t>(n);
  }

 private:
  const std::uint8_t* data_;
  std::size_t left_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Trickle source(data, size);
  romtool::DatSummary summary;
  std::string error;
  long roms = 0;
  const bool ok = romtool::ReadDatFrom(
      source, "fuzz.dat",
      [&roms](const romprog::DatRom& rom) {
        fuzzing::Check(rom.crc.has_value());
        ++roms;
      },
      summary, error);
  fuzzing::Check(ok == error.empty());
  fuzzing::Check(roms <= summary.roms);
  return 0;
}
