// romtool blank: the whole chip read, its programmed cells and bits counted.
#include "cli/commands/commands.h"
#include "cli/run/chip_command.h"
#include "cli/run/chip_findings.h"

namespace romtool {
namespace {

int Blank(const ChipJob& job) {
  romprog::Image chip{};
  if (int code = ReadWholeChip(job, chip.data(), "blank check")) return code;
  return ReportBlank(job, MeasureBlank(chip.data(), job.size));
}

}  // namespace

int BlankCommand(const Options& options, const Streams& streams) {
  return RunChipCommand(options, streams, {nullptr, Blank});
}

}  // namespace romtool
