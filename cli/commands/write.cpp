// romtool write: the chip checked against the file first (can it take it,
// does it hold it already), written, then read back and compared.
#include "cli/chip_file.h"
#include "cli/chip_findings.h"
#include "cli/commands/commands.h"

namespace romtool {
namespace {

constexpr int kGoOn = -1;

// Whether the chip can take the image: kGoOn to go on writing, else the
// exit code. With --at the image first takes the rest of the chip as it is.
int Precheck(const ChipJob& job) {
  romprog::Image& image = job.image;
  romprog::Image chip{};
  if (int code = ReadWholeChip(job, chip.data(), "check")) return code;
  KeepChipAround(job.record, chip.data(), image, job.size);
  if (job.options.blankCheck && ReportBlank(job, MeasureBlank(chip.data(), job.size))) {
    return Fail(job.streams, kChipFault, "write: the chip is not blank; nothing written");
  }
  if (job.options.noPrecheck) return kGoOn;
  const Differences found = Compare(chip.data(), image.data(), job.size);
  if (found.cells == 0) {
    std::fprintf(job.streams.out, "%s already holds %s: nothing written\n", job.chipName, job.file);
    return kSuccess;
  }
  if (found.needSetting == 0) {
    std::fprintf(job.streams.out, "%d of %d cells change (bits cleared only)\n", found.cells,
                 job.size);
    return kGoOn;
  }
  std::fprintf(job.streams.out, "%s a bit set (0 to 1), which writing cannot do:\n",
               NeedSetting(found.needSetting).c_str());
  for (int a : found.settingCells) {
    std::fprintf(job.streams.out, "  cell %s: chip %s, image %s\n", CellName(a).c_str(),
                 ByteName(chip[a]).c_str(), ByteName(image[a]).c_str());
  }
  if (found.needSetting > kListed) {
    std::fprintf(job.streams.out, "  ... and %d more\n", found.needSetting - kListed);
  }
  return Fail(job.streams, kChipFault, "write: nothing written; erase the chip first");
}

int Write(const ChipJob& job) {
  // Writing a cell its own value changes nothing, so --at writes the whole chip.
  if (job.options.blankCheck || !job.options.noPrecheck || job.options.at) {
    const int code = Precheck(job);
    if (code != kGoOn) return code;
  }
  if (int code = Report(job, WriteChipFrom(job.session, job.image.data()), "write")) return code;
  if (!job.options.noVerify) {
    if (int code = VerifyChip(job, job.image.data())) return code;
  }
  std::fprintf(job.streams.out, "wrote %d bytes of %s into %s%s\n", job.size, job.file,
               job.chipName, job.options.noVerify ? "" : "; read back and compared");
  return kSuccess;
}

}  // namespace

int WriteCommand(const Options& options, const Streams& streams) {
  return RunChipCommand(options, streams, {LoadJobFile, Write});
}

}  // namespace romtool
