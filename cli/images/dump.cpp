#include "cli/images/dump.h"

#include "core/listing_row.h"
#include "core/windows_1251.h"

namespace romtool {
namespace {

std::string Utf8(std::uint32_t point) {
  std::string text;
  if (point < 0x80) {
    text += static_cast<char>(point);
  } else if (point < 0x800) {
    text += static_cast<char>(0xC0 | (point >> 6));
    text += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    text += static_cast<char>(0xE0 | (point >> 12));
    text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (point & 0x3F));
  }
  return text;
}

}  // namespace

std::string TerminalChar(char listingChar) {
  // The delete control and the code page's unassigned byte show as a dot.
  const std::uint32_t point = romprog::Unicode1251(static_cast<std::uint8_t>(listingChar));
  return point == 0x7F || point == 0x98 ? std::string(".") : Utf8(point);
}

std::string DumpRow(const std::uint8_t* bytes, int address) {
  std::string row = romprog::AddressCell(address);
  for (int k = 0; k < romprog::kBytesPerRow; ++k) row += romprog::ByteCell(bytes[k]);
  for (char c : romprog::AsciiCell(bytes)) row += TerminalChar(c);
  return row + "\n";
}

std::string DumpRows(const std::uint8_t* image, int activeSize) {
  std::string text;
  for (int address = 0; address + romprog::kBytesPerRow <= activeSize;
       address += romprog::kBytesPerRow) {
    text += DumpRow(image + address, address);
  }
  return text;
}

}  // namespace romtool
