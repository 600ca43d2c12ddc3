// romtool verify: the chip against the file, every difference listed.
#include <algorithm>

#include "cli/commands/commands.h"
#include "cli/images/chip_file.h"
#include "cli/images/map_picture.h"
#include "cli/run/chip_command.h"
#include "cli/run/chip_findings.h"

namespace romtool {
namespace {

// --map: the chip as read, its cells that differ from the file marked (with
// --at, only the file's own cells can differ).
int DrawMap(const ChipJob& job, const std::uint8_t* chip) {
  romprog::Image expected = job.image;
  KeepChipAround(job.record, chip, expected, job.size);
  const romprog::MapInput input{chip, job.size, nullptr, expected.data()};
  std::string error;
  if (!SaveCellMap(job.options.map, input, error)) return Fail(job.streams, kUsageOrFile, error);
  std::fprintf(job.streams.out, "%s", MapLegend(job.options.map, input).c_str());
  return kSuccess;
}

// With --at only the file's cells are compared: the rest is expected as read.
int Verify(const ChipJob& job) {
  romprog::Image chip{};
  const int code = VerifyChip(job, job.image.data(), false, chip.data());
  if (!job.options.map.empty() && job.record.chipSums) {
    if (int drawn = DrawMap(job, chip.data())) return std::max(code, drawn);
  }
  if (code) return code;
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
