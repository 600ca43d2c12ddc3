// romtool verify: the chip against the file, every difference listed.
#include "cli/chip_file.h"
#include "cli/chip_findings.h"
#include "cli/commands/commands.h"

namespace romtool {
namespace {

int Verify(const ChipJob& job) {
  if (int code = VerifyChip(job, job.image.data())) return code;
  std::fprintf(job.streams.out, "%s matches %s: %d cells\n", job.chipName, job.file, job.size);
  return kSuccess;
}

}  // namespace

int VerifyCommand(const Options& options, const Streams& streams) {
  return RunChipCommand(options, streams, {LoadJobFile, Verify});
}

}  // namespace romtool
