// Reads and writes a full 27C256 image as Intel HEX (92173 bytes) over and
// over and prints the time per file for each direction.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/formats/intel_hex_reader.h"
#include "core/formats/intel_hex_writer.h"
#include "core/image.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 2000;
constexpr int kActiveSize = 32768;

template <typename Work>
double MicrosecondsPerRound(Work work) {
  work();  // warm the caches and the allocator
  const auto start = Clock::now();
  for (int i = 0; i < kRounds; ++i) work();
  const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
  return spent.count() / kRounds;
}

}  // namespace

int main() {
  std::mt19937 random(256);
  std::vector<std::uint8_t> image(romprog::kBufferSize);
  for (auto& byte : image) byte = static_cast<std::uint8_t>(random());

  std::string text;
  const double write = MicrosecondsPerRound([&] {
    text.clear();
    text.shrink_to_fit();
    romprog::WriteIntelHex(image.data(), kActiveSize, text);
  });

  std::vector<std::uint8_t> back(romprog::kBufferSize);
  int extent = 0;
  const double read = MicrosecondsPerRound([&] {
    extent = romprog::ReadIntelHex(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(),
                                   back.data(), kActiveSize);
  });

  if (text.size() != 92173 || extent != kActiveSize || back != image) {
    std::fprintf(stderr, "hex_bench: the round trip did not give the image back\n");
    return 1;
  }
  std::printf("Intel HEX, 27C256 image, %zu bytes of text, %d rounds\n", text.size(), kRounds);
  std::printf("  write: %8.1f us per file\n", write);
  std::printf("  read:  %8.1f us per file\n", read);
  return 0;
}
