#include "core/listing_row.h"

#include "core/hex_text.h"

namespace romprog {

Text AddressCell(int address) {
  return Text(6, ' ') + HexText(static_cast<unsigned>(address), 4);
}

Text ByteCell(std::uint8_t value) {
  return Text(3, ' ') + HexText(value, 2);
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
