// How a piece of a dump and a collection's ROM are judged.
#include <gtest/gtest.h>

#include <random>

#include "core/dump_variants.h"
#include "core/rom_match.h"

namespace romprog {
namespace {

DatRom Rom(std::uint64_t size, std::uint32_t crc, std::optional<Sha1Digest> sha1,
           DumpStatus status = DumpStatus::Good) {
  DatRom rom;
  rom.set = "set";
  rom.name = "rom.bin";
  rom.size = size;
  rom.crc = crc;
  rom.sha1 = sha1;
  rom.status = status;
  return rom;
}

TEST(RomMatch, SizeAndCrcMatchConfirmedBySha1WhereTheDatHasOne) {
  PieceDigest piece{8192, 0x12345678u, {}};
  piece.sha1[0] = 0xAB;
  Sha1Digest other = piece.sha1;
  other[19] = 1;
  EXPECT_EQ(Judge(piece, Rom(8192, 0x12345678u, piece.sha1)), Verdict::CrcAndSha1);
  EXPECT_EQ(Judge(piece, Rom(8192, 0x12345678u, std::nullopt)), Verdict::CrcOnly);
  EXPECT_EQ(Judge(piece, Rom(8192, 0x12345678u, other)), Verdict::Sha1Differs);
  EXPECT_EQ(Judge(piece, Rom(4096, 0x12345678u, piece.sha1)), Verdict::NoMatch);
  EXPECT_EQ(Judge(piece, Rom(8192, 0x12345679u, piece.sha1)), Verdict::NoMatch);
  EXPECT_EQ(Judge(piece, Rom(8192, 0x12345678u, piece.sha1, DumpStatus::BadDump)),
            Verdict::CrcAndSha1);
  EXPECT_EQ(Judge(piece, Rom(8192, 0x12345678u, piece.sha1, DumpStatus::NoDump)), Verdict::NoMatch);
  DatRom noCrc = Rom(8192, 0, piece.sha1);
  noCrc.crc.reset();
  EXPECT_EQ(Judge(piece, noCrc), Verdict::NoMatch);
}

TEST(RomMatch, TheMatcherKeepsEachHitWithItsPieceAndTheRomAsOffered) {
  RomMatcher matcher;
  const PieceDigest even{4, 0xAAAAAAAAu, {1}};
  const PieceDigest odd{4, 0xBBBBBBBBu, {2}};
  EXPECT_EQ(matcher.Add(even), 0u);
  EXPECT_EQ(matcher.Add(odd), 1u);
  DatRom u2 = Rom(4, 0xBBBBBBBBu, odd.sha1, DumpStatus::BadDump);
  u2.name = "u2";
  matcher.Offer(Rom(4, 0xCCCCCCCCu, std::nullopt));
  matcher.Offer(u2);
  matcher.Offer(Rom(4, 0xAAAAAAAAu, Sha1Digest{9}));
  ASSERT_EQ(matcher.Hits().size(), 2u);
  EXPECT_EQ(matcher.Hits()[0].piece, 1u);
  EXPECT_EQ(matcher.Hits()[0].verdict, Verdict::CrcAndSha1);
  EXPECT_EQ(matcher.Hits()[0].rom.name, "u2");
  EXPECT_EQ(matcher.Hits()[0].rom.status, DumpStatus::BadDump);
  EXPECT_EQ(matcher.Hits()[1].piece, 0u);
  EXPECT_EQ(matcher.Hits()[1].verdict, Verdict::Sha1Differs);
  EXPECT_STREQ(StatusWord(DumpStatus::BadDump), "baddump");
  EXPECT_STREQ(VariantWord(VariantKind::EvenBytes), "even");
}

}  // namespace
}  // namespace romprog
