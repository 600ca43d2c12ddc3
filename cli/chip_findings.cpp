#include "cli/chip_findings.h"

#include <algorithm>

namespace romtool {
namespace {

std::string RangeLine(const CellRange& range, const std::uint8_t* chip, const std::uint8_t* image) {
  if (range.first == range.last) {
    return "cell " + CellName(range.first) + " differs: read " + ByteName(chip[range.first]) +
           ", expected " + ByteName(image[range.first]);
  }
  return "cells " + CellName(range.first) + " to " + CellName(range.last) + " differ (" +
         std::to_string(range.last - range.first + 1) + " cells)";
}

}  // namespace

int ReportDifferences(const ChipJob& job, const std::uint8_t* chip, const std::uint8_t* image) {
  const Differences found = Compare(chip, image, job.size);
  if (found.cells == 0) return kSuccess;
  std::FILE* out = job.streams.out;
  std::fprintf(out, "%s differs from %s in %s:\n", job.chipName, job.file,
               Counted(found.cells, "cell").c_str());
  const int shown = std::min(static_cast<int>(found.ranges.size()), kListed);
  for (int i = 0; i < shown; ++i) {
    std::fprintf(out, "  %s\n", RangeLine(found.ranges[i], chip, image).c_str());
  }
  if (shown < static_cast<int>(found.ranges.size())) {
    std::fprintf(out, "  ... and %d more ranges\n", static_cast<int>(found.ranges.size()) - shown);
  }
  if (found.needSetting == 0) {
    std::fprintf(out, "writing %s again without erasing can fix this: only bits to clear\n",
                 job.file);
  } else {
    std::fprintf(out, "%s a bit set (0 to 1): only erasing the chip fixes %s\n",
                 NeedSetting(found.needSetting).c_str(), found.needSetting == 1 ? "it" : "them");
  }
  return Fail(job.streams, kChipFault, std::string("verify: the chip differs from ") + job.file);
}

std::string Counted(int count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string NeedSetting(int count) {
  return Counted(count, "cell") + (count == 1 ? " needs" : " need");
}

int ReportBlank(const ChipJob& job, const BlankMeasure& measure) {
  if (measure.cells == 0) {
    std::fprintf(job.streams.out, "%s is blank: %d cells read 0xFF\n", job.chipName, job.size);
    return kSuccess;
  }
  std::fprintf(job.streams.out, "%s is not blank: %s, %s; first %s, last %s\n", job.chipName,
               Counted(measure.cells, "programmed cell").c_str(),
               Counted(measure.bits, "programmed bit").c_str(), CellName(measure.first).c_str(),
               CellName(measure.last).c_str());
  return kChipFault;
}

int VerifyChip(const ChipJob& job, const std::uint8_t* image) {
  romprog::Image chip{};
  if (int code = ReadWholeChip(job, chip.data(), "verify")) return code;
  return ReportDifferences(job, chip.data(), image);
}

}  // namespace romtool
