#include <gtest/gtest.h>

#include "gui/chip_selector.h"
#include "gui/hex_listing.h"
#include "gui/row_editor.h"
#include "tests/gui/test_app.h"

namespace romprog::testing {
namespace {

TEST(ParseByteField, LeadingHexRunLowEightBits) {
  EXPECT_EQ(ParseByteField("1ff"), 0xFF);
  EXPECT_EQ(ParseByteField("1FF"), 0xFF);
  EXPECT_EQ(ParseByteField("100"), 0x00);
  EXPECT_EQ(ParseByteField("12345"), 0x45);
  EXPECT_EQ(ParseByteField("7G"), 0x07);
  EXPECT_EQ(ParseByteField("G7"), 0x00);
  EXPECT_EQ(ParseByteField(""), 0x00);
  EXPECT_EQ(ParseByteField("$FF"), 0x00);
  EXPECT_EQ(ParseByteField("-1"), 0x00);
  EXPECT_EQ(ParseByteField("   3   "), 0x03);
  EXPECT_EQ(ParseByteField("   "), 0x00);
  EXPECT_EQ(ParseByteField("a b"), 0x0A);
  EXPECT_EQ(ParseByteField("FFFFFFFFFFFFFFFFFF3C"), 0x3C);  // no overflow trouble
}

struct RowEditorTest : ::testing::Test {
  TestApp t;
  void SetUp() override {
    t.Start();
    for (int i = 0; i < kBufferSize; ++i) t.buffer()[i] = static_cast<std::uint8_t>(i);
    RefreshListing(t.app);
  }
  void SelectRow(int row) {
    t.ui.SetState(id::kListing, row);
    t.Click(id::kListing);
  }
  void Type(int k, const Text& text) { t.ui.SetText(id::kRowByte0 + k, text); }
};

TEST_F(RowEditorTest, LoadCopiesCellsAndEnablesApply) {
  EXPECT_FALSE(t.ui.control(id::kApplyRow).enabled);
  SelectRow(0x35);
  EXPECT_EQ(t.app.state.editRow, 0x35);
  EXPECT_EQ(t.ui.GetText(id::kRowAddress), "      01A8");
  EXPECT_EQ(t.ui.GetText(id::kRowByte0), "   A8");
  EXPECT_EQ(t.ui.GetText(id::kRowByte0 + 7), "   AF");
  EXPECT_TRUE(t.ui.control(id::kApplyRow).enabled);
}

TEST_F(RowEditorTest, ApplyStoresAllEightRewritesRowAndKeepsFields) {
  SelectRow(0x35);
  const auto before = t.app.state.imageBuffer;
  Type(0, "1ff");
  Type(1, "100");
  Type(2, "12345");
  Type(3, "7G");
  Type(4, "G7");
  Type(5, "");
  Type(6, " 3 ");
  // field 7 keeps "   AF" as loaded
  t.Click(id::kApplyRow);
  const std::uint8_t want[8] = {0xFF, 0x00, 0x45, 0x07, 0x00, 0x00, 0x03, 0xAF};
  for (int i = 0; i < kBufferSize; ++i) {
    if (i >= 0x1A8 && i < 0x1B0) {
      EXPECT_EQ(t.buffer()[i], want[i - 0x1A8]) << i;
    } else {
      ASSERT_EQ(t.buffer()[i], before[i]) << i;
    }
  }
  const auto& row = t.ui.rows(id::kListing)[0x35];
  EXPECT_EQ(row[1], "   FF");
  EXPECT_EQ(row[4], "   07");
  EXPECT_EQ(row[7], "   03");
  // The Ascii cell follows the buffer at once.
  EXPECT_EQ(row[9], AsciiCell(t.buffer() + 0x1A8));
  EXPECT_EQ(t.ui.GetText(id::kRowByte0), "1ff");  // fields keep what was typed
  EXPECT_TRUE(t.ui.control(id::kApplyRow).enabled);
  ASSERT_FALSE(t.ui.focusChanges.empty());
  EXPECT_EQ(t.ui.focusChanges.back(), id::kListing);
}

TEST_F(RowEditorTest, NoSelectedRowEmptiesFieldsAndApplyStoresNothing) {
  SelectRow(3);
  SelectRow(-1);
  EXPECT_EQ(t.ui.GetText(id::kRowAddress), "");
  EXPECT_FALSE(t.ui.control(id::kApplyRow).enabled);
  const auto before = t.app.state.imageBuffer;
  Type(0, "55");
  ApplyRowEdit(t.app);  // even if the button were somehow pressed
  EXPECT_EQ(t.app.state.imageBuffer, before);
}

TEST_F(RowEditorTest, RefreshAndHidingEmptyTheEditor) {
  SelectRow(2);
  RefreshListing(t.app);
  EXPECT_EQ(t.ui.GetText(id::kRowByte0), "");
  EXPECT_FALSE(t.ui.control(id::kApplyRow).enabled);

  t.Click(id::kBufferToggle);  // shown
  SelectRow(2);
  t.Click(id::kBufferToggle);  // hidden
  EXPECT_EQ(t.ui.GetText(id::kRowAddress), "");
  EXPECT_FALSE(t.ui.control(id::kApplyRow).enabled);
  EXPECT_EQ(t.ui.GetState(id::kListing), 2);  // selection stays
}

TEST_F(RowEditorTest, RowBeyondAShrunkenListingIsNotStored) {
  // Listing built for 27C256, then a command switched the active size to 27C64.
  t.SelectChip(2);
  RefreshListing(t.app);
  SelectRow(4000);
  t.SelectChip(0);
  ApplyChipType(t.app);
  Type(0, "11");
  t.Click(id::kApplyRow);
  EXPECT_EQ(t.buffer()[4000 * 8], 0x11);  // the row exists in the listing
  EXPECT_EQ(t.ui.rows(id::kListing)[4000][1], "   11");
}

}  // namespace
}  // namespace romprog::testing
