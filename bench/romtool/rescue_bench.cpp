// What a rescue read adds to each pass and to its end, next to the line
// time of one 27C256 pass at 9600 baud: merging a pass, listing the unstable
// cells, the checks of the image and their notes, and the picture (drawn
// and PNG-encoded). Prints the figures; no test.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "cli/images/image_notes.h"
#include "cli/images/png_encode.h"
#include "core/rescue/cell_map.h"
#include "core/rescue/image_checks.h"
#include "core/rescue/pass_merge.h"

namespace {

constexpr int kCells = 32768;
constexpr int kPasses = 100;
// 32768 data bytes of 10 bits at 9600 baud, the programmer's side alone.
constexpr double kPassLineSeconds = kCells * 10.0 / 9600.0;

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

template <typename Work>
double Best(int rounds, Work work) {
  double best = 1e9;
  for (int k = 0; k < rounds; ++k) {
    const auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(best, Since(start));
  }
  return best;
}

void Print(const char* what, double seconds) {
  std::printf("%-44s %9.3f ms  %8.5f %% of a pass's line time\n", what, seconds * 1e3,
              100.0 * seconds / kPassLineSeconds);
}

}  // namespace

int main() {
  std::mt19937 draw(1);
  std::vector<std::uint8_t> chip(kCells);
  for (auto& b : chip) b = static_cast<std::uint8_t>(draw());
  // 100 passes of a chip with 400 weak bits that read 1 half the time.
  std::vector<std::vector<std::uint8_t>> passes(kPasses, chip);
  for (auto& pass : passes) {
    for (int k = 0; k < 400; ++k) {
      const int at = static_cast<int>((k * 2654435761u) % kCells);
      if (draw() & 1) pass[at] |= static_cast<std::uint8_t>(1u << (k % 8));
    }
  }
  std::printf("27C256, %d cells; one pass at 9600 baud: %.1f s of line time\n", kCells,
              kPassLineSeconds);

  romprog::PassMerge merge(kCells);
  const auto start = std::chrono::steady_clock::now();
  for (const auto& pass : passes) merge.Add(pass.data());
  Print("merge of one pass (mean of 100)", Since(start) / kPasses);

  std::size_t listed = 0;
  Print("unstable list after 100 passes", Best(5, [&] { listed = merge.UnstableList().size(); }));
  std::size_t found = 0;
  Print("checks of the image (core)",
        Best(5, [&] { found = romprog::CheckImage(merge.merged().data(), kCells).size(); }));
  std::size_t notes = 0;
  Print("checks told as notes (romtool)", Best(5, [&] {
          notes = romtool::ImageNotes(merge.merged().data(), kCells, "27C256").size();
        }));
  std::vector<std::uint8_t> unstable(kCells);
  for (const auto& cell : merge.UnstableList()) unstable[cell.address] = cell.bits;
  const romprog::MapInput input{merge.merged().data(), kCells, unstable.data()};
  romprog::Picture picture;
  Print("map drawn (core)", Best(3, [&] { picture = romprog::DrawCellMap(input); }));
  std::vector<std::uint8_t> png;
  Print("map PNG-encoded (libpng)", Best(3, [&] {
          std::string error;
          romtool::EncodePng(picture, {}, png, error);
        }));
  // The checks' worst case: every comparison runs to the end, as in a ROM
  // whose upper half is blank and whose A14 does nothing (a 27C128 in the socket).
  std::vector<std::uint8_t> worst(chip);
  std::fill(worst.begin() + kCells / 4, worst.begin() + kCells / 2, 0xFF);
  std::copy(worst.begin(), worst.begin() + kCells / 2, worst.begin() + kCells / 2);
  Print("checks of a mirrored, half-blank image",
        Best(5, [&] { found = romprog::CheckImage(worst.data(), kCells).size(); }));
  std::printf("(%zu unstable cells, %zu findings, %zu notes, PNG %zu bytes)\n", listed, found,
              notes, png.size());
  return 0;
}
