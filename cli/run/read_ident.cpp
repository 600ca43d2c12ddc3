#include "cli/run/read_ident.h"

#include "cli/images/identify.h"

namespace romtool {

int CheckDats(const Options& options, const Streams& streams) {
  if (options.dats.empty()) return kSuccess;
  PrepareDatReading();
  std::string error;
  for (const std::string& dat : options.dats) {
    if (!DatOpens(dat, error)) return Fail(streams, kUsageOrFile, error + "; nothing read");
  }
  return kSuccess;
}

void IdentifyRead(const ChipJob& job, const std::string& savedAs) {
  if (job.options.dats.empty()) return;
  std::vector<IdentifiedDump> dumps;
  dumps.push_back(DumpToIdentify(
      savedAs, std::vector<std::uint8_t>(job.image.begin(), job.image.begin() + job.size)));
  std::vector<DatSummary> summaries;
  std::string error;
  if (!IdentifyDumps(dumps, job.options.dats, summaries, error)) {
    std::fprintf(job.streams.err, "romtool: %s is saved, but cannot be identified: %s\n",
                 savedAs.c_str(), error.c_str());
    return;
  }
  if (job.streams.json) {
    std::fprintf(job.streams.json, "%s\n", IdentifiedJson(dumps[0]).c_str());
  } else {
    PrintIdentified(dumps[0], job.options.dats.size(), job.streams.out);
  }
}

}  // namespace romtool
