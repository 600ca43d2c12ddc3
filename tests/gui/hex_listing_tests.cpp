#include <gtest/gtest.h>

#include "gui/chip_selector.h"
#include "gui/hex_listing.h"
#include "tests/gui/test_app.h"

namespace romprog::testing {
namespace {

TEST(ListingCells, AddressByteAndAsciiFormats) {
  EXPECT_EQ(AddressCell(0), "      0000");
  EXPECT_EQ(AddressCell(0xF8), "      00F8");
  EXPECT_EQ(AddressCell(0x1A8), "      01A8");
  EXPECT_EQ(AddressCell(0x7FF8), "      7FF8");
  EXPECT_EQ(ByteCell(0x00), "   00");
  EXPECT_EQ(ByteCell(0x0A), "   0A");
  EXPECT_EQ(ByteCell(0xFF), "   FF");
  const std::uint8_t hello[8] = {0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x00, 0x0A, 0x7E};
  EXPECT_EQ(AsciiCell(hello), "  Hello  ~");
  EXPECT_EQ(AsciiChar(0x1F), ' ');
  EXPECT_EQ(AsciiChar(0x20), ' ');
  EXPECT_EQ(AsciiChar(0x7F), '\x7F');
  EXPECT_EQ(AsciiChar(0x80), '\x80');
  EXPECT_EQ(AsciiChar(0xC0), Cp1251("А")[0]);
  EXPECT_EQ(AsciiChar(0xFF), Cp1251("я")[0]);
}

TEST(RefreshListing, StartUpShowsZeroed27C64) {
  TestApp t;
  t.Start();
  const auto& rows = t.ui.rows(id::kListing);
  ASSERT_EQ(rows.size(), 1024u);
  EXPECT_EQ(rows.front()[0], "      0000");
  for (int c = 1; c <= 8; ++c) EXPECT_EQ(rows.front()[c], "   00");
  EXPECT_EQ(rows.front()[9], Text(10, ' '));
  EXPECT_EQ(rows.back()[0], "      1FF8");
  EXPECT_EQ(t.ui.windows[kBufferWindow].title, Cp1251("      Буфер;   27C64"));
  EXPECT_TRUE(t.ui.control(id::kListing).redraw);
}

TEST(RefreshListing, RowCountsTitlesAndContentsPerChip) {
  TestApp t;
  t.Start();
  for (int i = 0; i < kBufferSize; ++i) t.buffer()[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
  const auto before = t.app.state.imageBuffer;
  const std::size_t counts[] = {1024, 2048, 4096};
  const char* last[] = {"      1FF8", "      3FF8", "      7FF8"};
  for (int chip = 0; chip < 3; ++chip) {
    t.SelectChip(chip);
    RefreshListing(t.app);
    const auto& rows = t.ui.rows(id::kListing);
    ASSERT_EQ(rows.size(), counts[chip]);
    EXPECT_EQ(rows.back()[0], last[chip]);
    EXPECT_EQ(t.ui.windows[kBufferWindow].title, Cp1251("      Буфер;   ") + kChipTypes[chip].name);
    for (std::size_t r = 0; r < rows.size(); r += 37) {
      for (int k = 0; k < 8; ++k) EXPECT_EQ(rows[r][k + 1], ByteCell(t.buffer()[r * 8 + k]));
      EXPECT_EQ(rows[r][9], AsciiCell(t.buffer() + r * 8));
    }
  }
  EXPECT_EQ(t.app.state.imageBuffer, before);  // a refresh only reads
}

TEST(RefreshListing, SelectorChangeWaitsForNextRefresh) {
  TestApp t;
  t.Start();
  t.SelectChip(2);
  EXPECT_EQ(t.ui.rows(id::kListing).size(), 1024u);
  EXPECT_EQ(t.ui.windows[kBufferWindow].title, Cp1251("      Буфер;   27C64"));
  EXPECT_EQ(t.app.state.activeSize, 8192);
}

}  // namespace
}  // namespace romprog::testing
