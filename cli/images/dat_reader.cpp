#include "cli/images/dat_reader.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <cstring>
#include <vector>

#include "platform/file_io.h"

namespace romtool {
namespace {

using romprog::DatRom;

constexpr std::size_t kChunk = 1 << 20;

bool Named(const xmlChar* name, const char* word) {
  return std::strcmp(reinterpret_cast<const char*>(name), word) == 0;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// `text` as `digits` hex digits into `bytes` (most significant first).
bool HexBytes(const std::string& text, std::uint8_t* bytes, std::size_t count) {
  if (text.size() != 2 * count) return false;
  for (std::size_t k = 0; k < count; ++k) {
    const int high = HexDigit(text[2 * k]), low = HexDigit(text[2 * k + 1]);
    if (high < 0 || low < 0) return false;
    bytes[k] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return true;
}

// Sizes are decimal in Logiqx DATs and -listxml, decimal or 0x hex in
// software lists.
bool SizeOf(const std::string& text, std::uint64_t& size) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::size_t first = hex ? 2 : 0;
  if (text.size() <= first || text.size() - first > 15) return false;
  size = 0;
  for (std::size_t k = first; k < text.size(); ++k) {
    const int digit =
        hex ? HexDigit(text[k]) : (text[k] >= '0' && text[k] <= '9' ? text[k] - '0' : -1);
    if (digit < 0) return false;
    size = size * (hex ? 16 : 10) + static_cast<unsigned>(digit);
  }
  return true;
}

// The state of one DAT's reading, the push parser's user data.
class DatParse {
 public:
  DatParse(const std::string& path, const RomSink& each, DatSummary& summary)
      : path_(path), each_(each), summary_(summary) {}

  bool Run(romprog::ByteSource& source, std::string& error);

 private:
  static void OnStart(void* self, const xmlChar* name, const xmlChar*, const xmlChar*, int,
                      const xmlChar**, int count, int, const xmlChar** attributes) {
    static_cast<DatParse*>(self)->Start(name, count, attributes);
  }
  static void OnEnd(void* self, const xmlChar*, const xmlChar*, const xmlChar*) {
    static_cast<DatParse*>(self)->End();
  }
  static void OnText(void* self, const xmlChar* text, int size) {
    DatParse& parse = *static_cast<DatParse*>(self);
    if (parse.inDescription_)
      parse.set_.description.append(reinterpret_cast<const char*>(text), size);
  }
  static void OnError(void* self, xmlErrorPtr problem) {
    if (problem->level < XML_ERR_ERROR) return;
    std::string message = problem->message ? problem->message : "not well-formed XML";
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
      message.pop_back();
    DatParse& parse = *static_cast<DatParse*>(self);
    // No element yet: most likely another kind of file, a ClrMamePro text DAT say.
    if (!parse.rooted_)
      message += " (romtool reads XML DATs: Logiqx, mame -listxml, software lists)";
    parse.Refuse(problem->line, message);
  }

  void Start(const xmlChar* name, int count, const xmlChar** attributes);
  void End();
  void Root(const xmlChar* name, int count, const xmlChar** attributes);
  void Rom(int count, const xmlChar** attributes);
  bool Under(const char* parent) const { return !open_.empty() && open_.back() == parent; }
  void Refuse(int line, const std::string& message) {
    if (error_.empty()) error_ = path_ + ":" + std::to_string(line) + ": " + message;
    if (context_) xmlStopParser(context_);
  }

  const std::string& path_;
  const RomSink& each_;
  DatSummary& summary_;
  xmlParserCtxtPtr context_ = nullptr;
  std::string error_;
  std::vector<std::string> open_;  // the elements open, outermost first
  bool rooted_ = false;
  std::size_t setDepth_ = 0;  // open_.size() inside the current set; 0 outside one
  bool inDescription_ = false;
  DatRom set_;  // the current set's fields, the ROM's left empty
  std::string list_;
};

// An attribute's value, empty when it is not given.
std::string Attribute(int count, const xmlChar** attributes, const char* name) {
  for (int k = 0; k < count; ++k) {
    const xmlChar** a = attributes + 5 * k;  // local name, prefix, URI, value, end
    if (Named(a[0], name)) {
      return std::string(reinterpret_cast<const char*>(a[3]), reinterpret_cast<const char*>(a[4]));
    }
  }
  return std::string();
}

void DatParse::Root(const xmlChar* name, int count, const xmlChar** attributes) {
  rooted_ = true;
  if (Named(name, "datafile")) {
    summary_.kind = DatKind::Logiqx;
  } else if (Named(name, "mame")) {
    summary_.kind = DatKind::ListXml;
  } else if (Named(name, "softwarelist") || Named(name, "softwarelists")) {
    summary_.kind = DatKind::SoftwareList;
    list_ = Attribute(count, attributes, "name");
  } else {
    Refuse(xmlSAX2GetLineNumber(context_),
           "no DAT: its root element is <" + std::string(reinterpret_cast<const char*>(name)) +
               ">; romtool reads Logiqx DATs (<datafile>), mame -listxml output (<mame>) and "
               "software lists (<softwarelist>)");
  }
}

void DatParse::Start(const xmlChar* name, int count, const xmlChar** attributes) {
  if (!rooted_) Root(name, count, attributes);
  const bool software = summary_.kind == DatKind::SoftwareList;
  if (software && Named(name, "softwarelist") && Under("softwarelists")) {
    list_ = Attribute(count, attributes, "name");
  }
  const bool set = software ? Named(name, "software") && Under("softwarelist")
                            : (Named(name, "game") || Named(name, "machine")) && open_.size() == 1;
  open_.emplace_back(reinterpret_cast<const char*>(name));
  if (set) {
    set_ = DatRom();
    set_.collection = software ? list_ : std::string();
    set_.set = Attribute(count, attributes, "name");
    setDepth_ = open_.size();
    ++summary_.sets;
  } else if (setDepth_ > 0 && open_.size() == setDepth_ + 1 && Named(name, "description")) {
    inDescription_ = true;
  } else if (setDepth_ > 0 && Named(name, "rom") &&
             (software ? open_.size() == setDepth_ + 3 && open_[open_.size() - 2] == "dataarea"
                       : open_.size() == setDepth_ + 1)) {
    Rom(count, attributes);
  }
}

void DatParse::End() {
  inDescription_ = false;
  if (open_.size() == setDepth_) setDepth_ = 0;
  if (!open_.empty()) open_.pop_back();
}

void DatParse::Rom(int count, const xmlChar** attributes) {
  ++summary_.roms;
  DatRom rom = set_;
  rom.name = Attribute(count, attributes, "name");
  rom.offset = Attribute(count, attributes, "offset");
  rom.loadflag = Attribute(count, attributes, "loadflag");
  const std::string status = Attribute(count, attributes, "status");
  rom.status = status == "baddump"  ? romprog::DumpStatus::BadDump
               : status == "nodump" ? romprog::DumpStatus::NoDump
                                    : romprog::DumpStatus::Good;
  const std::string size = Attribute(count, attributes, "size");
  const std::string crc = Attribute(count, attributes, "crc");
  const std::string sha1 = Attribute(count, attributes, "sha1");
  const std::string which = "rom '" + rom.name + "' of " + rom.set;
  const int line = xmlSAX2GetLineNumber(context_);
  // A ROM without a CRC-32 (nodump, or a software list's continue and fill
  // entries) can match nothing; its other fields need no reading then.
  if (crc.empty()) return;
  std::uint8_t crcBytes[4];
  if (!HexBytes(crc, crcBytes, 4))
    return Refuse(line, which + ": crc '" + crc + "' is not 8 hex digits");
  rom.crc = static_cast<std::uint32_t>(crcBytes[0]) << 24 | crcBytes[1] << 16 | crcBytes[2] << 8 |
            crcBytes[3];
  if (!SizeOf(size, rom.size)) return Refuse(line, which + ": size '" + size + "' is not a number");
  if (!sha1.empty()) {
    rom.sha1.emplace();
    if (!HexBytes(sha1, rom.sha1->data(), rom.sha1->size())) {
      return Refuse(line, which + ": sha1 '" + sha1 + "' is not 40 hex digits");
    }
  }
  each_(rom);
}

bool DatParse::Run(romprog::ByteSource& source, std::string& error) {
  xmlSAXHandler handler{};
  handler.initialized = XML_SAX2_MAGIC;
  handler.startElementNs = OnStart;
  handler.endElementNs = OnEnd;
  handler.characters = OnText;
  handler.serror = OnError;
  context_ = xmlCreatePushParserCtxt(&handler, this, nullptr, 0, path_.c_str());
  if (!context_) {
    error = "cannot read " + path_ + ": libxml2 has no parser for it";
    return false;
  }
  // Nothing from the network, no entity expanded into the document.
  xmlCtxtUseOptions(context_, XML_PARSE_NONET);
  std::vector<std::uint8_t> chunk(kChunk);
  for (;;) {
    const std::int64_t got = source.Read(chunk.data(), chunk.size());
    if (got < 0) {
      error_ = "cannot read " + path_;
      break;
    }
    summary_.bytes += got;
    const int last = got == 0;
    xmlParseChunk(context_, reinterpret_cast<const char*>(chunk.data()), static_cast<int>(got),
                  last);
    if (!error_.empty() || last) break;
  }
  if (error_.empty() && !context_->wellFormed) error_ = path_ + ": not well-formed XML";
  if (error_.empty() && !rooted_) error_ = path_ + " is empty: no DAT";
  xmlFreeParserCtxt(context_);
  context_ = nullptr;
  error = error_;
  return error.empty();
}

}  // namespace

bool ReadDat(const std::string& path, const RomSink& each, DatSummary& summary,
             std::string& error) {
  romprog::InputFile file(path);
  if (!file.IsOpen()) {
    error = "cannot open " + path + ": " + file.Problem();
    return false;
  }
  if (ReadDatFrom(file, path, each, summary, error)) return true;
  // A read that failed has the system's words for it.
  if (!file.Problem().empty()) error += ": " + file.Problem();
  return false;
}

bool ReadDatFrom(romprog::ByteSource& source, const std::string& name, const RomSink& each,
                 DatSummary& summary, std::string& error) {
  summary = DatSummary();
  DatParse parse(name, each, summary);
  return parse.Run(source, error);
}

bool DatOpens(const std::string& path, std::string& error) {
  romprog::InputFile file(path);
  if (file.IsOpen()) return true;
  error = "cannot open " + path + ": " + file.Problem();
  return false;
}

void PrepareDatReading() {
  xmlInitParser();
}

const char* DatKindName(DatKind kind) {
  switch (kind) {
    case DatKind::Logiqx:
      return "Logiqx DAT";
    case DatKind::ListXml:
      return "mame -listxml";
    case DatKind::SoftwareList:
      return "software list";
  }
  return "";
}

}  // namespace romtool
