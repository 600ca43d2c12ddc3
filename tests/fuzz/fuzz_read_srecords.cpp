// Any text at all, with any of the chip sizes: the S-record reader stores only
// below the chip's size, names a line for every failure, and whatever it
// accepted comes back the same through the writer and the reader again.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "core/formats/srecord_reader.h"
#include "core/formats/srecord_writer.h"
#include "core/image.h"
#include "tests/fuzz/fuzz_image.h"

namespace {

constexpr int kActiveSizes[] = {8192, 16384, 32768, 0};

using fuzzing::Check;
using fuzzing::ErasedImage;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int activeSize = kActiveSizes[data[0] % 4];
  const int addressBytes = 2 + data[0] / 4 % 3;
  ++data;
  --size;

  auto image = ErasedImage();
  const romprog::TextLoad load = romprog::ReadSRecords(data, size, image.get(), activeSize);
  if (!load.ok) {
    Check(load.errorLine >= 1 && !load.error.empty());
    return 0;
  }
  Check(load.loadedExtent >= 0 && load.loadedExtent <= activeSize);
  Check(std::all_of(image.get() + activeSize, image.get() + romprog::kBufferSize,
                    [](std::uint8_t b) { return b == 0xFF; }));

  std::string text;
  romprog::WriteSRecords(image.get(), activeSize, addressBytes, text);
  auto again = ErasedImage();
  const romprog::TextLoad reread = romprog::ReadSRecords(
      reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), again.get(), activeSize);
  Check(reread.ok);
  Check(std::memcmp(image.get(), again.get(), static_cast<std::size_t>(activeSize)) == 0);
  return 0;
}
