// The pieces of a dump worth looking up in a ROM collection: the image as
// it is, its 16-bit words byte-swapped, its even and odd bytes (the two
// chips of a 16-bit bus read as one), each half and quarter (a larger chip
// holding several ROMs) and the first part of a chip that reads as 2 or 4
// copies of it (an overdump: a smaller ROM read as a larger type).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace romprog {

enum class VariantKind { Whole, ByteSwapped, EvenBytes, OddBytes, Half, Quarter, Overdump };

struct DumpVariant {
  VariantKind kind = VariantKind::Whole;
  int index = 0;  // Half, Quarter: which one, from 0
  int count = 1;  // Half 2, Quarter 4; Overdump: how many copies the dump holds
  std::vector<std::uint8_t> bytes;
};

// Every piece of the `size` bytes at `data` to look up, the whole image
// first. Byte-swapped, even and odd bytes and halves need an even size,
// quarters a multiple of 4. A dump that is 4 (else 2) identical copies
// gives the first copy as an Overdump instead of its halves and quarters;
// a half or quarter equal to an earlier piece is left out.
std::vector<DumpVariant> DumpVariants(const std::uint8_t* data, std::size_t size);

// How a piece is named to the user, `size` being the whole dump's:
// "as is", "byte-swapped", "even bytes", "half 2 of 2 (0x4000-0x7FFF)",
// "2x overdump (first half)".
std::string VariantName(const DumpVariant& variant, std::size_t size);
// Short and fixed, for JSON: "whole", "byte-swapped", "even", "odd", "half",
// "quarter", "overdump".
const char* VariantWord(VariantKind kind);

// Whether the pieces in `matched` (a subset of the dump's variants) account
// for every one of the dump's `size` bytes.
bool CoverEveryByte(const std::vector<const DumpVariant*>& matched, std::size_t size);

}  // namespace romprog
