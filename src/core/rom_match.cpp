#include "core/rom_match.h"

namespace romprog {

Verdict Judge(const PieceDigest& piece, const DatRom& rom) {
  if (rom.status == DumpStatus::NoDump || !rom.crc) return Verdict::NoMatch;
  if (rom.size != piece.size || *rom.crc != piece.crc) return Verdict::NoMatch;
  if (!rom.sha1) return Verdict::CrcOnly;
  return *rom.sha1 == piece.sha1 ? Verdict::CrcAndSha1 : Verdict::Sha1Differs;
}

std::size_t RomMatcher::Add(const PieceDigest& piece) {
  pieces_.push_back(piece);
  byCrc_.emplace(piece.crc, pieces_.size() - 1);
  return pieces_.size() - 1;
}

void RomMatcher::Offer(const DatRom& rom) {
  if (!rom.crc) return;
  const auto [first, last] = byCrc_.equal_range(*rom.crc);
  for (auto at = first; at != last; ++at) {
    const Verdict verdict = Judge(pieces_[at->second], rom);
    if (verdict != Verdict::NoMatch) hits_.push_back({at->second, verdict, rom});
  }
}

const char* StatusWord(DumpStatus status) {
  switch (status) {
    case DumpStatus::Good:
      return "good";
    case DumpStatus::BadDump:
      return "baddump";
    case DumpStatus::NoDump:
      return "nodump";
  }
  return "";
}

}  // namespace romprog
