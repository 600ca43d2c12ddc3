// romtool ident: each file looked up in the DATs given, as MAME's -romident
// does, its pieces too (byte-swapped, even and odd bytes, halves, quarters,
// an overdump's first copy).
#include <algorithm>

#include "cli/commands/commands.h"
#include "cli/images/identify.h"
#include "core/formats/file_content.h"
#include "platform/file_io.h"

namespace romtool {
namespace {

// Larger than any EPROM and most ROM sets' largest file; keeps a mistaken
// argument (a disk image) from filling the memory.
constexpr std::int64_t kLargestDump = std::int64_t{512} << 20;

// The whole of `path` into `bytes`; false with `error` set when it cannot
// be read, is empty or too large, or holds records rather than raw bytes.
bool ReadDump(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
  romprog::InputFile file(path);
  const std::int64_t size = file.IsOpen() ? file.Size() : -1;
  if (size < 0) {
    error = "cannot open " + path + ": " + file.Problem();
    return false;
  }
  if (size == 0 || size > kLargestDump) {
    error = path + (size == 0 ? " is empty" : " holds more than 512 MiB: no ROM dump");
    return false;
  }
  bytes.resize(static_cast<std::size_t>(size));
  if (file.Read(bytes.data(), bytes.size()) != size) {
    error = "cannot read " + path + ": " + file.Problem();
    return false;
  }
  const auto records =
      romprog::FormatOfRecords(bytes.data(), std::min(bytes.size(), romprog::kHeadSize));
  if (records) {
    error = path + " holds " + romprog::FormatName(*records) +
            " records; ident looks up raw images: make one first (romtool convert -c CHIP " + path +
            " " + path + ".bin)";
    return false;
  }
  return true;
}

}  // namespace

int IdentCommand(const Options& options, const Streams& streams) {
  std::vector<IdentifiedDump> dumps;
  std::string error;
  for (const std::string& file : options.files) {
    std::vector<std::uint8_t> bytes;
    if (!ReadDump(file, bytes, error)) return Fail(streams, kUsageOrFile, error);
    dumps.push_back(DumpToIdentify(file, std::move(bytes)));
  }
  std::vector<DatSummary> summaries;
  if (!IdentifyDumps(dumps, options.dats, summaries, error)) {
    return Fail(streams, kUsageOrFile, error);
  }
  for (std::size_t k = 0; k < summaries.size(); ++k) {
    if (summaries[k].roms > 0) continue;
    std::fprintf(streams.err, "romtool: note: %s (%s) lists no ROM\n", options.dats[k].c_str(),
                 DatKindName(summaries[k].kind));
  }
  for (const IdentifiedDump& dump : dumps) {
    if (options.json) {
      std::fprintf(streams.out, "%s\n", IdentifiedJson(dump).c_str());
    } else {
      PrintIdentified(dump, options.dats.size(), streams.out);
    }
  }
  const int code = IdentExitCode(dumps);
  if (!options.json && dumps.size() > 1) {
    const auto whole = std::count_if(dumps.begin(), dumps.end(), [](const IdentifiedDump& dump) {
      return dump.coverage == Coverage::All;
    });
    std::fprintf(streams.out, "%ld of %zu files identified\n", static_cast<long>(whole),
                 dumps.size());
  }
  return code;
}

std::string IdentCheck(const Options& options) {
  return options.dats.empty() ? "ident needs a ROM collection to look the files up in: --dat DAT"
                              : std::string();
}

}  // namespace romtool
