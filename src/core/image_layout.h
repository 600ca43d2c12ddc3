// How images are laid on chips: which file addresses a chip sees (the base
// window), parts placed at cells side by side, an image repeated through a
// larger chip, and 16-bit (or 32-bit) buses split into one chip per byte
// lane and joined back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/formats/record_lines.h"

namespace romprog {

// Addresses from `first` to `last`, both included.
struct Span {
  std::uint32_t first = 0;
  std::uint32_t last = 0;
};

// Where a file's data lies: its runs merged where they touch, lowest first.
std::vector<Span> DataSpans(const FileData& data);

// The bases of the windows of `size` bytes, each at a multiple of `size`,
// that hold some of `spans`: one for a file one chip of that size sees
// whole, which `--base auto` maps.
std::vector<std::uint32_t> WindowsHolding(const std::vector<Span>& spans, int size);

// The window a bank takes of a file whose data lies in `spans` (not
// empty): the smallest power-of-two window, at a multiple of its own size,
// that holds all the data. pack's parts from a later cell than 0 and
// `write --at` lay it from their cell on, so the data keeps its place in
// the window whatever the room after the cell.
AddressWindow BankWindow(const std::vector<Span>& spans);

// The lowest address line a chip of `size` cells does not see: 13 for 8 KiB.
int AddressLines(int size);

// One image laid on a chip at `cell`; every byte of it is the chip's.
struct Part {
  std::string name;
  int cell = 0;
  std::vector<std::uint8_t> bytes;

  int End() const { return cell + static_cast<int>(bytes.size()); }
};

// Two parts that claim the same cells, by their place in the list.
struct Overlap {
  std::size_t first = 0, second = 0;
  Span cells;
};

// The first pair of parts (in the order given) that share cells.
std::optional<Overlap> FindOverlap(const std::vector<Part>& parts);

// `chip` (room for `size` cells) filled with `fill`, the parts laid over it;
// every part must end within it.
void LayParts(const std::vector<Part>& parts, std::uint8_t fill, std::uint8_t* chip, int size);

// The cells of a chip of `size` no part covers.
std::vector<Span> FreeCells(const std::vector<Part>& parts, int size);

// The first `period` cells repeated through the `size` cells of `chip`;
// false when `period` does not divide `size`.
bool Mirror(std::uint8_t* chip, int period, int size);

// The bytes of each 16-bit word swapped, in place; an odd last byte stays.
void SwapPairs(std::vector<std::uint8_t>& bytes);

// `image` dealt out over `ways` chips, byte k of each group of `ways` to
// chip k (2: even and odd addresses), its words swapped first with `swap`.
// Each chip gets the size of the image over `ways`.
std::vector<std::vector<std::uint8_t>> Interleave(std::vector<std::uint8_t> image, int ways,
                                                  bool swap);

// The image Interleave dealt out as `chips` (all of one size).
std::vector<std::uint8_t> Join(const std::vector<std::vector<std::uint8_t>>& chips, bool swap);

}  // namespace romprog
