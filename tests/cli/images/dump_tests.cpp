#include <gtest/gtest.h>

#include <cstdio>

#include "cli/images/dump.h"
#include "core/listing_row.h"
#include "tests/support/cli_test_support.h"

namespace romtool::testing {
namespace {

// What iconv makes of one Windows-1251 byte; empty when it has no character.
std::string IconvFrom1251(unsigned char byte, const TempDir& dir) {
  const std::string in = dir / "byte";
  WriteWhole(in, std::string(1, static_cast<char>(byte)));
  std::FILE* pipe = popen(("iconv -f CP1251 -t UTF-8 " + in + " 2>/dev/null").c_str(), "r");
  std::string out;
  char buffer[16];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
  return pclose(pipe) == 0 ? out : std::string();
}

TEST(Dump, PrintableBytesMatchIconv) {
  TempDir dir;
  for (int byte = 0x20; byte <= 0xFF; ++byte) {
    if (byte == 0x7F) continue;
    const std::string expected = IconvFrom1251(static_cast<unsigned char>(byte), dir);
    if (expected.empty()) {
      EXPECT_EQ(TerminalChar(static_cast<char>(byte)), ".") << byte;
    } else {
      EXPECT_EQ(TerminalChar(static_cast<char>(byte)), expected) << byte;
    }
  }
}

TEST(Dump, DeleteShowsAsDot) {
  EXPECT_EQ(TerminalChar('\x7F'), ".");
}

TEST(Dump, RowIsTheListingsCellsInOrder) {
  const std::uint8_t bytes[8] = {0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x00, 0x0A, 0x7E};
  EXPECT_EQ(DumpRow(bytes, 0x01A8),
            "      01A8   48   65   6C   6C   6F   00   0A   7E  Hello  ~\n");
}

TEST(Dump, CyrillicBytesBecomeUtf8) {
  const std::uint8_t bytes[8] = {0xCF, 0xE7, 0xD3, 0x20, 0xA8, 0xB8, 0x98, 0x1F};
  const std::string row = DumpRow(bytes, 0);
  EXPECT_EQ(row.substr(row.size() - 16), "  ПзУ Ёё. \n");
}

TEST(Dump, OneRowPerEightBytesOfTheChip) {
  const std::string image = RandomBytes(32768, 3);
  for (int size : {8192, 16384, 32768}) {
    const std::string text = DumpRows(Bytes(image), size);
    std::size_t lines = 0, at = 0, last = 0;
    for (std::size_t next; (next = text.find('\n', at)) != std::string::npos; at = next + 1) {
      last = at;
      ++lines;
    }
    EXPECT_EQ(lines, static_cast<std::size_t>(size / 8));
    EXPECT_EQ(text.substr(last, 10), romprog::AddressCell(size - 8));
    EXPECT_EQ(text.substr(last + 10, 5),
              romprog::ByteCell(static_cast<std::uint8_t>(image[size - 8])));
  }
}

}  // namespace
}  // namespace romtool::testing
