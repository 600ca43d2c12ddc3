// romtool verify: the chip against the file, every difference listed.
#include "cli/chip_file.h"
#include "cli/chip_findings.h"
#include "cli/commands/commands.h"

namespace romtool {
namespace {

// With --at only the file's cells are compared: the rest is expected as read.
int Verify(const ChipJob& job) {
  if (int code = VerifyChip(job, job.image.data())) return code;
  if (job.record.at >= 0) {
    std::fprintf(job.streams.out, "%s matches %s in cells %s to %s\n", job.chipName, job.file,
                 CellName(job.record.at).c_str(),
                 CellName(job.record.at + job.record.atSize - 1).c_str());
  } else {
    std::fprintf(job.streams.out, "%s matches %s: %d cells\n", job.chipName, job.file, job.size);
  }
  return kSuccess;
}

}  // namespace

int VerifyCommand(const Options& options, const Streams& streams) {
  return RunChipCommand(options, streams, {LoadJobFile, Verify});
}

}  // namespace romtool
