#include "cli/run/chip_findings.h"

#include <algorithm>
#include <vector>

#include "cli/images/chip_file.h"

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

// What writing again can do for cells that only need bits cleared: never a
// promise, since a cell that refused once may refuse again.
std::string ClearingOnly(const std::string& cells, const char* file) {
  return cells + ": only bits to clear; writing " + file +
         " again may take them, unless a cell refuses again, which means a worn or not fully "
         "erased chip (erase it and write again)";
}

std::string NeedErasing(int count) {
  return NeedSetting(count) + " a bit set (0 to 1): only erasing the chip fixes " +
         (count == 1 ? "it" : "them");
}

// The differences of one read, told by what each cell needs.
void Advise(const ChipJob& job, const Differences& found) {
  const std::string advice = found.needSetting == 0
                                 ? ClearingOnly(Counted(found.cells, "differing cell"), job.file)
                                 : NeedErasing(found.needSetting);
  std::fprintf(job.streams.out, "%s\n", advice.c_str());
}

// The differences of the read-back after a write told by a second read:
// unstable cells (the reads disagree), cells that need erasing and cells
// that did not take their value.
void AdviseAfterSecondRead(const ChipJob& job, const std::uint8_t* chip, const std::uint8_t* again,
                           const std::uint8_t* image) {
  std::FILE* out = job.streams.out;
  std::vector<int> unstable;
  int erasing = 0, notTaken = 0;
  for (int a = 0; a < job.size; ++a) {
    if (chip[a] != again[a]) {
      unstable.push_back(a);
    } else if (chip[a] != image[a]) {
      ++((image[a] & ~chip[a]) ? erasing : notTaken);
    }
  }
  if (!unstable.empty()) {
    std::fprintf(out,
                 "%s (two reads disagree): a failing chip or a poor contact in the socket; "
                 "reseat it and verify\n",
                 Counted(static_cast<int>(unstable.size()), "unstable cell").c_str());
  }
  for (std::size_t k = 0; k < unstable.size() && k < static_cast<std::size_t>(kListed); ++k) {
    const int a = unstable[k];
    std::fprintf(out, "  cell %s read %s, then %s\n", CellName(a).c_str(),
                 ByteName(chip[a]).c_str(), ByteName(again[a]).c_str());
  }
  if (erasing > 0) std::fprintf(out, "%s\n", NeedErasing(erasing).c_str());
  if (notTaken > 0) {
    std::fprintf(
        out, "%s\n",
        ClearingOnly(Counted(notTaken, "cell") + " did not take the value written", job.file)
            .c_str());
  }
}

// Every difference listed, merged into ranges, then what can mend them;
// `again` (a second read, or nullptr) tells unstable cells apart.
int ReportDifferences(const ChipJob& job, const std::uint8_t* chip, const std::uint8_t* image,
                      const Differences& found, const std::uint8_t* again) {
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
  if (again) {
    AdviseAfterSecondRead(job, chip, again, image);
  } else {
    Advise(job, found);
  }
  return Fail(job.streams, kChipFault, std::string("verify: the chip differs from ") + job.file);
}

}  // namespace

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

int VerifyChip(const ChipJob& job, const std::uint8_t* image, bool readTwice, std::uint8_t* read) {
  romprog::Image chip{};
  if (int code = ReadWholeChip(job, chip.data(), "verify")) return code;
  if (read) std::copy_n(chip.begin(), job.size, read);
  // verify --at compares the file's cells only; write's read-back compares
  // the whole chip it wrote.
  romprog::Image expected{};
  std::copy(image, image + job.size, expected.begin());
  if (job.options.command == Command::Verify) {
    KeepChipAround(job.record, chip.data(), expected, job.size);
  }
  image = expected.data();
  const Differences found = Compare(chip.data(), image, job.size);
  if (found.cells == 0) return kSuccess;
  if (!readTwice) return ReportDifferences(job, chip.data(), image, found, nullptr);
  romprog::Image again{};
  if (int code = ReadWholeChip(job, again.data(), "verify again")) return code;
  return ReportDifferences(job, chip.data(), image, found, again.data());
}

}  // namespace romtool
