#include "core/dump_variants.h"

#include <algorithm>

#include "core/hex_text.h"
#include "core/image_layout.h"

namespace romprog {
namespace {

// How many identical copies of its first part the dump is: 4, 2 or 1.
int Copies(const std::uint8_t* data, std::size_t size) {
  for (int copies : {4, 2}) {
    if (size < static_cast<std::size_t>(copies) || size % copies != 0) continue;
    const std::size_t part = size / copies;
    if (std::equal(data, data + size - part, data + part)) return copies;
  }
  return 1;
}

DumpVariant Piece(VariantKind kind, int index, int count, const std::uint8_t* first,
                  std::size_t size) {
  return {kind, index, count, std::vector<std::uint8_t>(first, first + size)};
}

// Halves and quarters, each only once. A dump of `copies` copies has them
// in the overdump already (halves of 2, halves and quarters of 4), and a
// part equal to an earlier one would only repeat its match.
void AddParts(const std::uint8_t* data, std::size_t size, int copies,
              std::vector<DumpVariant>& variants) {
  for (int count : {2, 4}) {
    if (size % count != 0 || count <= copies) continue;
    const std::size_t part = size / count;
    for (int k = 0; k < count; ++k) {
      DumpVariant piece = Piece(count == 2 ? VariantKind::Half : VariantKind::Quarter, k, count,
                                data + k * part, part);
      const bool repeated =
          std::any_of(variants.begin(), variants.end(), [&piece](const DumpVariant& earlier) {
            return earlier.kind != VariantKind::EvenBytes &&
                   earlier.kind != VariantKind::OddBytes && earlier.bytes == piece.bytes;
          });
      if (!repeated) variants.push_back(std::move(piece));
    }
  }
}

std::string Range(std::size_t first, std::size_t end) {
  const int digits = end > 0x10000 ? 6 : 4;
  return HexNumber(first, digits) + "-" + HexNumber(end - 1, digits);
}

}  // namespace

std::vector<DumpVariant> DumpVariants(const std::uint8_t* data, std::size_t size) {
  std::vector<DumpVariant> variants;
  variants.push_back(Piece(VariantKind::Whole, 0, 1, data, size));
  if (size < 2 || size % 2 != 0) return variants;
  DumpVariant swapped = Piece(VariantKind::ByteSwapped, 0, 1, data, size);
  SwapPairs(swapped.bytes);
  variants.push_back(std::move(swapped));
  auto lanes = Interleave(std::vector<std::uint8_t>(data, data + size), 2, false);
  variants.push_back({VariantKind::EvenBytes, 0, 2, std::move(lanes[0])});
  variants.push_back({VariantKind::OddBytes, 1, 2, std::move(lanes[1])});
  const int copies = Copies(data, size);
  if (copies > 1) variants.push_back(Piece(VariantKind::Overdump, 0, copies, data, size / copies));
  AddParts(data, size, copies, variants);
  return variants;
}

std::string VariantName(const DumpVariant& variant, std::size_t size) {
  const std::size_t part = variant.bytes.size();
  const std::string number = std::to_string(variant.index + 1);
  switch (variant.kind) {
    case VariantKind::Whole:
      return "as is";
    case VariantKind::ByteSwapped:
      return "byte-swapped";
    case VariantKind::EvenBytes:
      return "even bytes";
    case VariantKind::OddBytes:
      return "odd bytes";
    case VariantKind::Half:
      return "half " + number + " of 2 (" +
             Range(variant.index * part, (variant.index + 1) * part) + ")";
    case VariantKind::Quarter:
      return "quarter " + number + " of 4 (" +
             Range(variant.index * part, (variant.index + 1) * part) + ")";
    case VariantKind::Overdump:
      return std::to_string(variant.count) + "x overdump (" + Range(0, size / variant.count) +
             " repeated)";
  }
  return std::string();
}

const char* VariantWord(VariantKind kind) {
  switch (kind) {
    case VariantKind::Whole:
      return "whole";
    case VariantKind::ByteSwapped:
      return "byte-swapped";
    case VariantKind::EvenBytes:
      return "even";
    case VariantKind::OddBytes:
      return "odd";
    case VariantKind::Half:
      return "half";
    case VariantKind::Quarter:
      return "quarter";
    case VariantKind::Overdump:
      return "overdump";
  }
  return "";
}

bool CoverEveryByte(const std::vector<const DumpVariant*>& matched, std::size_t size) {
  std::vector<bool> covered(size, false);
  for (const DumpVariant* variant : matched) {
    const std::size_t part = variant->bytes.size();
    switch (variant->kind) {
      case VariantKind::Whole:
      case VariantKind::ByteSwapped:
      case VariantKind::Overdump:
        return true;
      case VariantKind::EvenBytes:
      case VariantKind::OddBytes:
        for (std::size_t at = static_cast<std::size_t>(variant->index); at < size; at += 2) {
          covered[at] = true;
        }
        break;
      case VariantKind::Half:
      case VariantKind::Quarter:
        std::fill_n(covered.begin() + static_cast<std::ptrdiff_t>(variant->index * part), part,
                    true);
        break;
    }
  }
  return size > 0 && std::all_of(covered.begin(), covered.end(), [](bool b) { return b; });
}

}  // namespace romprog
