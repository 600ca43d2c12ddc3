#include <gtest/gtest.h>

#include "gui/chip_selector.h"
#include "tests/gui/test_app.h"

namespace romprog::testing {
namespace {

TEST(ChipTypes, TableGivesSizeCodeAndSelectorText) {
  ASSERT_EQ(kChipTypes.size(), 3u);
  const int sizes[] = {8192, 16384, 32768};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(kChipTypes[i].activeSize, sizes[i]);
    EXPECT_EQ(kChipTypes[i].chipCode, sizes[i] / 256);
  }
  EXPECT_EQ(ChipSelectorItem(kChipTypes[1]), "       27C128");
  EXPECT_EQ(FindChipType("27C256"), &kChipTypes[2]);
  EXPECT_EQ(FindChipType("27c256"), nullptr);   // case-sensitive
  EXPECT_EQ(FindChipType("27C256 "), nullptr);  // trailing characters stay
}

TEST(ApplyChipType, FollowsSelectorAndKeepsOldSizeOnUnknownText) {
  TestApp t;
  t.Start();
  EXPECT_EQ(t.app.state.activeSize, 8192);
  EXPECT_EQ(t.app.state.chipCode, 0x20);
  EXPECT_EQ(t.app.state.chipName, "27C64");

  t.SelectChip(2);
  ApplyChipType(t.app);
  EXPECT_EQ(t.app.state.activeSize, 32768);
  EXPECT_EQ(t.app.state.chipCode, 0x80);

  // Nothing selected: the name becomes empty, size and code stay.
  t.SelectChip(-1);
  ApplyChipType(t.app);
  EXPECT_EQ(t.app.state.chipName, "");
  EXPECT_EQ(t.app.state.activeSize, 32768);
  EXPECT_EQ(t.app.state.chipCode, 0x80);

  // An unknown item keeps the size too but is kept as the name.
  t.ui.AddItem(id::kChipSelector, -1, "   27C512");
  t.SelectChip(3);
  ApplyChipType(t.app);
  EXPECT_EQ(t.app.state.chipName, "27C512");
  EXPECT_EQ(t.app.state.activeSize, 32768);
}

}  // namespace
}  // namespace romprog::testing
