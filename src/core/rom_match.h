// Matching the pieces of a dump against the ROMs a collection (a DAT)
// lists: a ROM matches when its size and CRC-32 agree and, where the DAT
// gives a SHA-1, the SHA-1 agrees too. A CRC-32 that agrees with a SHA-1
// that does not is no match, and is kept apart to be told. The ROMs come one
// at a time as the DAT is read, so a collection of any size costs no memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace romprog {

using Sha1Digest = std::array<std::uint8_t, 20>;

// What the DAT says of how good its own copy is.
enum class DumpStatus { Good, BadDump, NoDump };

struct DatRom {
  std::string collection;   // the software list's name; empty for other DATs
  std::string set;          // game, machine or software name
  std::string description;  // the set's description
  std::string name;         // the ROM's file name
  std::uint64_t size = 0;
  std::optional<std::uint32_t> crc;
  std::optional<Sha1Digest> sha1;
  DumpStatus status = DumpStatus::Good;
  std::string offset;    // where it loads in its region, as the DAT writes it
  std::string loadflag;  // software lists: load16_byte, load16_word_swap, ...
};

// The figures of one piece of a dump.
struct PieceDigest {
  std::uint64_t size = 0;
  std::uint32_t crc = 0;
  Sha1Digest sha1{};
};

enum class Verdict {
  NoMatch,
  CrcAndSha1,   // size, CRC-32 and SHA-1 agree
  CrcOnly,      // size and CRC-32 agree; the DAT gives no SHA-1
  Sha1Differs,  // size and CRC-32 agree, the SHA-1 does not: no match
};

// How `piece` stands to `rom`. A ROM the DAT marks nodump, or gives no
// CRC-32 for, matches nothing.
Verdict Judge(const PieceDigest& piece, const DatRom& rom);

struct RomHit {
  std::size_t piece = 0;  // the number Add gave it
  Verdict verdict = Verdict::NoMatch;
  DatRom rom;
};

class RomMatcher {
 public:
  // A piece to look for; returns its number, counted from 0.
  std::size_t Add(const PieceDigest& piece);
  // One ROM of a DAT: each piece it matches (or matches by CRC-32 alone
  // with another SHA-1) is kept, in the order the ROMs came.
  void Offer(const DatRom& rom);
  // Matches and SHA-1 differences alike; a hit's verdict tells them apart.
  const std::vector<RomHit>& Hits() const { return hits_; }

 private:
  std::vector<PieceDigest> pieces_;
  std::unordered_multimap<std::uint32_t, std::size_t> byCrc_;
  std::vector<RomHit> hits_;
};

// "baddump", "nodump", "good".
const char* StatusWord(DumpStatus status);

}  // namespace romprog
