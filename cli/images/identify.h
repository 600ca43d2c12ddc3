// Identifying dumps against ROM collections (DATs): each dump's pieces
// (core/dump_variants) get their CRC-32 and SHA-1, every DAT is read once as
// a stream and each ROM it lists is judged against every piece
// (core/rom_match). Then what was found, as text or as a JSON line a dump.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/images/dat_reader.h"
#include "core/dump_variants.h"
#include "core/rom_match.h"

namespace romtool {

struct Found {
  std::size_t variant = 0;  // in the dump's variants
  romprog::Verdict verdict = romprog::Verdict::NoMatch;
  romprog::DatRom rom;
  std::string dat;  // the DAT that lists it
};

enum class Coverage { All, Part, None };

struct IdentifiedDump {
  std::string name;
  std::size_t size = 0;
  std::uint32_t crc = 0;
  romprog::Sha1Digest sha1{};
  std::vector<romprog::DumpVariant> variants;
  std::vector<Found> found;  // matches and SHA-1 differences, in the DATs' order
  Coverage coverage = Coverage::None;
};

// `bytes` under `name`, its pieces and their figures, nothing found yet.
IdentifiedDump DumpToIdentify(const std::string& name, std::vector<std::uint8_t> bytes);

// Every dump looked up in every DAT in `dats`, each DAT read once; `dumps`
// get what was found and their coverage. false with `error` set when a DAT
// cannot be read; `summaries` has a line for each DAT read.
bool IdentifyDumps(std::vector<IdentifiedDump>& dumps, const std::vector<std::string>& dats,
                   std::vector<DatSummary>& summaries, std::string& error);

// What was found for `dump`, a line a match: its pieces, the set and ROM
// names, how it matched and the DAT's word on the ROM (a bad dump), and the
// verdict; `dats` how many DATs were read (with more than one each line
// names its DAT).
void PrintIdentified(const IdentifiedDump& dump, std::size_t dats, std::FILE* out);

// The same as one line of JSON, without its line end.
std::string IdentifiedJson(const IdentifiedDump& dump);

// As MAME's -romident: 0 every dump identified whole, 9 nothing found for
// any, 8 anything in between.
int IdentExitCode(const std::vector<IdentifiedDump>& dumps);

}  // namespace romtool
