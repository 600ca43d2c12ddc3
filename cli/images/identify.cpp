#include "cli/images/identify.h"

#include <cinttypes>

#include "cli/base/checksum.h"
#include "cli/base/exit_code.h"
#include "cli/base/json_text.h"
#include "cli/base/sha1.h"
#include "core/hex_text.h"

namespace romtool {
namespace {

using romprog::DatRom;
using romprog::DumpStatus;
using romprog::Verdict;

// "prog.u1 of mygame (My Game)", a software list's "of megadriv:sonic", and
// where a software list loads it.
std::string RomName(const DatRom& rom) {
  std::string text =
      rom.name + " of " + (rom.collection.empty() ? "" : rom.collection + ":") + rom.set;
  if (!rom.description.empty()) text += " (" + rom.description + ")";
  if (!rom.loadflag.empty()) text += ", " + rom.loadflag + " at " + rom.offset;
  return text;
}

std::string Judged(const Found& found) {
  switch (found.verdict) {
    case Verdict::CrcAndSha1:
      return "CRC-32 and SHA-1 agree";
    case Verdict::CrcOnly:
      return "CRC-32 agrees (the DAT gives no SHA-1)";
    case Verdict::Sha1Differs:
      return "CRC-32 agrees but SHA-1 differs: no match";
    case Verdict::NoMatch:
      break;
  }
  return std::string();
}

bool Matches(const Found& found) {
  return found.verdict == Verdict::CrcAndSha1 || found.verdict == Verdict::CrcOnly;
}

Coverage CoverageOf(const IdentifiedDump& dump) {
  std::vector<const romprog::DumpVariant*> matched;
  for (const Found& found : dump.found) {
    if (Matches(found)) matched.push_back(&dump.variants[found.variant]);
  }
  if (matched.empty()) return Coverage::None;
  return romprog::CoverEveryByte(matched, dump.size) ? Coverage::All : Coverage::Part;
}

const char* HowWord(Verdict verdict) {
  switch (verdict) {
    case Verdict::CrcAndSha1:
      return "crc32+sha1";
    case Verdict::CrcOnly:
      return "crc32";
    case Verdict::Sha1Differs:
      return "sha1-differs";
    case Verdict::NoMatch:
      break;
  }
  return "none";
}

std::string FoundJson(const IdentifiedDump& dump, const Found& found) {
  const romprog::DumpVariant& variant = dump.variants[found.variant];
  const DatRom& rom = found.rom;
  std::string json = "{\"piece\":" + JsonQuoted(VariantWord(variant.kind));
  if (variant.kind == romprog::VariantKind::Half || variant.kind == romprog::VariantKind::Quarter) {
    json += ",\"index\":" + std::to_string(variant.index + 1);
  }
  if (variant.kind == romprog::VariantKind::Overdump) {
    json += ",\"copies\":" + std::to_string(variant.count);
  }
  json += ",\"piece_size\":" + std::to_string(variant.bytes.size()) +
          ",\"how\":" + JsonQuoted(HowWord(found.verdict)) + ",\"dat\":" + JsonQuoted(found.dat);
  if (!rom.collection.empty()) json += ",\"list\":" + JsonQuoted(rom.collection);
  json += ",\"set\":" + JsonQuoted(rom.set) + ",\"description\":" + JsonQuoted(rom.description) +
          ",\"rom\":" + JsonQuoted(rom.name) + ",\"status\":" + JsonQuoted(StatusWord(rom.status));
  if (!rom.offset.empty()) json += ",\"offset\":" + JsonQuoted(rom.offset);
  if (!rom.loadflag.empty()) json += ",\"loadflag\":" + JsonQuoted(rom.loadflag);
  return json + "}";
}

const char* CoverageWord(Coverage coverage) {
  switch (coverage) {
    case Coverage::All:
      return "all";
    case Coverage::Part:
      return "part";
    case Coverage::None:
      break;
  }
  return "none";
}

}  // namespace

IdentifiedDump DumpToIdentify(const std::string& name, std::vector<std::uint8_t> bytes) {
  IdentifiedDump dump;
  dump.name = name;
  dump.size = bytes.size();
  dump.crc = Crc32(bytes.data(), bytes.size());
  dump.sha1 = Sha1(bytes.data(), bytes.size());
  dump.variants = romprog::DumpVariants(bytes.data(), bytes.size());
  return dump;
}

bool IdentifyDumps(std::vector<IdentifiedDump>& dumps, const std::vector<std::string>& dats,
                   std::vector<DatSummary>& summaries, std::string& error) {
  romprog::RomMatcher matcher;
  struct Piece {
    std::size_t dump, variant;
  };
  std::vector<Piece> pieces;
  for (std::size_t d = 0; d < dumps.size(); ++d) {
    for (std::size_t v = 0; v < dumps[d].variants.size(); ++v) {
      const std::vector<std::uint8_t>& bytes = dumps[d].variants[v].bytes;
      matcher.Add(
          {bytes.size(), Crc32(bytes.data(), bytes.size()), Sha1(bytes.data(), bytes.size())});
      pieces.push_back({d, v});
    }
  }
  for (const std::string& dat : dats) {
    const std::size_t before = matcher.Hits().size();
    DatSummary summary;
    if (!ReadDat(
            dat, [&matcher](const DatRom& rom) { matcher.Offer(rom); }, summary, error)) {
      return false;
    }
    summaries.push_back(summary);
    for (std::size_t h = before; h < matcher.Hits().size(); ++h) {
      const romprog::RomHit& hit = matcher.Hits()[h];
      const Piece& piece = pieces[hit.piece];
      dumps[piece.dump].found.push_back({piece.variant, hit.verdict, hit.rom, dat});
    }
  }
  for (IdentifiedDump& dump : dumps) dump.coverage = CoverageOf(dump);
  return true;
}

void PrintIdentified(const IdentifiedDump& dump, std::size_t dats, std::FILE* out) {
  std::fprintf(out, "%s: %zu bytes, CRC-32 %s, SHA-1 %s\n", dump.name.c_str(), dump.size,
               romprog::HexNumber(dump.crc, 8).c_str(), Sha1Text(dump.sha1).c_str());
  for (const Found& found : dump.found) {
    std::string line = "  " + VariantName(dump.variants[found.variant], dump.size) +
                       (Matches(found) ? " = " : " is not ") + RomName(found.rom) + ": " +
                       Judged(found);
    if (Matches(found) && found.rom.status == DumpStatus::BadDump) {
      line += "; the DAT marks this ROM a bad dump (baddump)";
    }
    if (dats > 1) line += " [" + found.dat + "]";
    std::fprintf(out, "%s\n", line.c_str());
  }
  const char* verdict = dump.coverage == Coverage::All ? "identified"
                        : dump.coverage == Coverage::Part
                            ? "identified in part: some of its bytes match no ROM"
                            : "no match";
  std::fprintf(out, "  %s\n", verdict);
}

std::string IdentifiedJson(const IdentifiedDump& dump) {
  std::string json =
      "{\"file\":" + JsonQuoted(dump.name) + ",\"size\":" + std::to_string(dump.size) +
      ",\"crc32\":" + JsonQuoted(romprog::HexNumber(dump.crc, 8)) +
      ",\"sha1\":" + JsonQuoted(Sha1Text(dump.sha1)) +
      ",\"identified\":" + JsonQuoted(CoverageWord(dump.coverage)) + ",\"matches\":[";
  std::string differs;
  for (const Found& found : dump.found) {
    std::string& list = Matches(found) ? json : differs;
    if (!list.empty() && list.back() != '[') list += ",";
    list += FoundJson(dump, found);
  }
  return json + "],\"sha1_differs\":[" + differs + "]}";
}

int IdentExitCode(const std::vector<IdentifiedDump>& dumps) {
  std::size_t whole = 0, none = 0;
  for (const IdentifiedDump& dump : dumps) {
    whole += dump.coverage == Coverage::All;
    none += dump.coverage == Coverage::None;
  }
  if (whole == dumps.size()) return kSuccess;
  return none == dumps.size() ? kNoneIdentified : kSomeIdentified;
}

}  // namespace romtool
