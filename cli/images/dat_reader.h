// ROM collections (DATs) read as a stream through libxml2's push parser, so
// a `mame -listxml` of several hundred MB costs no more memory than a small
// DAT: Logiqx XML (datafile > game|machine > rom), mame -listxml output
// (mame > machine|game > rom) and MAME software lists (softwarelist >
// software > part > dataarea > rom, also inside softwarelists).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/byte_source.h"
#include "core/rom_match.h"

namespace romtool {

enum class DatKind { Logiqx, ListXml, SoftwareList };

struct DatSummary {
  DatKind kind = DatKind::Logiqx;
  long sets = 0;  // games, machines, software
  long roms = 0;  // every rom element read, with a CRC-32 or without
  std::int64_t bytes = 0;
};

using RomSink = std::function<void(const romprog::DatRom& rom)>;

// Reads `path` from its start to its end, giving `each` every ROM in the
// order the file lists them. false with `error` set ("x.dat:12: ..." where
// the file has a line to name) when the file cannot be read, is not
// well-formed XML, is none of the DATs above, or gives a ROM a size, CRC-32
// or SHA-1 that is not a number of its kind.
bool ReadDat(const std::string& path, const RomSink& each, DatSummary& summary, std::string& error);
// The same from `source`, named `name` in what is said.
bool ReadDatFrom(romprog::ByteSource& source, const std::string& name, const RomSink& each,
                 DatSummary& summary, std::string& error);

// Whether `path` opens for reading; `error` says why not. Checked before a
// chip is read, so a read does not end in a DAT that is not there.
bool DatOpens(const std::string& path, std::string& error);

// libxml2 set up once in the process, before threads read DATs of their own.
void PrepareDatReading();

// "Logiqx DAT", "mame -listxml", "software list".
const char* DatKindName(DatKind kind);

}  // namespace romtool
