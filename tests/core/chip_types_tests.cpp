#include <gtest/gtest.h>

#include "core/chip_types.h"

namespace romprog {
namespace {

// The one look-up: the selector's text exactly, a typed name in either case.
TEST(ChipTypes, FoundByNameExactlyOrInEitherLetterCase) {
  EXPECT_EQ(FindChipType("27C128"), &kChipTypes[1]);
  EXPECT_EQ(FindChipType("27c128"), nullptr);
  EXPECT_EQ(FindChipType("27c128", LetterCase::Either), &kChipTypes[1]);
  EXPECT_EQ(FindChipType("27C64", LetterCase::Either), &kChipTypes[0]);
  EXPECT_EQ(FindChipType("27c256", LetterCase::Either), &kChipTypes[2]);
  // A name is the whole of a type's name, no more and no less.
  EXPECT_EQ(FindChipType("27c2", LetterCase::Either), nullptr);
  EXPECT_EQ(FindChipType("27c2560", LetterCase::Either), nullptr);
  EXPECT_EQ(FindChipType("27c256 ", LetterCase::Either), nullptr);
  EXPECT_EQ(FindChipType("", LetterCase::Either), nullptr);
  // Only letters have two cases: '4' less 0x20, as a letter's case bit
  // would take it, is no '4'.
  EXPECT_EQ(FindChipType("27C6\x14", LetterCase::Either), nullptr);
}

}  // namespace
}  // namespace romprog
