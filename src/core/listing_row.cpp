#include "core/listing_row.h"

namespace romprog {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

Text AddressCell(int address) {
  Text cell(6, ' ');
  for (int shift = 12; shift >= 0; shift -= 4) cell += kHexDigits[(address >> shift) & 0xF];
  return cell;
}

Text ByteCell(std::uint8_t value) {
  Text cell(3, ' ');
  cell += kHexDigits[value >> 4];
  cell += kHexDigits[value & 0xF];
  return cell;
}

char AsciiChar(std::uint8_t value) {
  return value < 0x20 ? ' ' : static_cast<char>(value);
}

Text AsciiCell(const std::uint8_t* row) {
  Text cell(2, ' ');
  for (int k = 0; k < kBytesPerRow; ++k) cell += AsciiChar(row[k]);
  return cell;
}

}  // namespace romprog
