#include "cli/chip_jobs.h"

#include <algorithm>
#include <array>
#include <vector>

#include "cli/chip_compare.h"
#include "cli/image_file.h"
#include "cli/interrupt.h"
#include "core/image.h"

namespace romtool {
namespace {

using Image = std::array<std::uint8_t, romprog::kBufferSize>;

// The parts every step of a job needs.
struct Job {
  const Options& options;
  Session& session;
  const Streams& streams;
  JobRecord& record;
  int size;
  const char* chipName;
  const char* file;
};

int Fail(const Job& job, int code, const std::string& message) {
  std::fflush(job.streams.out);  // the listing before the verdict
  std::fprintf(job.streams.err, "romtool: %s\n", message.c_str());
  return code;
}

int Report(const Job& job, const Verdict& verdict, const std::string& step) {
  if (verdict.exitCode == kSuccess) return kSuccess;
  if (verdict.exitCode == kStopped) return Fail(job, kStopped, verdict.message);
  return Fail(job, verdict.exitCode, step + ": " + verdict.message);
}

// The whole chip into `chip`; its sums go into the record.
int ReadWholeChip(const Job& job, std::uint8_t* chip, const std::string& label) {
  if (int code = Report(job, ReadChipInto(job.session, chip, label.c_str()), label)) return code;
  job.record.NoteChip(chip, job.size);
  return kSuccess;
}

// "1 cell", "2 cells".
std::string Counted(int count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string NeedSetting(int count) {
  return Counted(count, "cell") + (count == 1 ? " needs" : " need");
}

std::string RangeLine(const CellRange& range, const std::uint8_t* chip, const std::uint8_t* image) {
  if (range.first == range.last) {
    return "cell " + CellName(range.first) + " differs: read " + ByteName(chip[range.first]) +
           ", expected " + ByteName(image[range.first]);
  }
  return "cells " + CellName(range.first) + " to " + CellName(range.last) + " differ (" +
         std::to_string(range.last - range.first + 1) + " cells)";
}

int ReportBlank(const Job& job, const BlankMeasure& measure) {
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

// The chip read against the file: every difference, merged into ranges.
int ReportDifferences(const Job& job, const std::uint8_t* chip, const std::uint8_t* image,
                      const char* step) {
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
  return Fail(job, kChipFault, std::string(step) + ": the chip differs from " + job.file);
}

int Blank(const Job& job) {
  Image chip{};
  if (int code = ReadWholeChip(job, chip.data(), "blank check")) return code;
  return ReportBlank(job, MeasureBlank(chip.data(), job.size));
}

int Verify(const Job& job, const std::uint8_t* image) {
  Image chip{};
  if (int code = ReadWholeChip(job, chip.data(), "verify")) return code;
  if (int code = ReportDifferences(job, chip.data(), image, "verify")) return code;
  return kSuccess;
}

// The later passes against the first: cells read differently are listed as
// unstable and fail the read. `image` gets the first pass when all agree.
int ComparePasses(const Job& job, const std::uint8_t* first, std::uint8_t* image) {
  std::vector<int> unstable;
  std::vector<bool> seen(static_cast<std::size_t>(job.size), false);
  Image again{};
  for (int pass = 2; pass <= job.options.passes; ++pass) {
    const std::string label = "read pass " + std::to_string(pass);
    if (int code = ReadWholeChip(job, again.data(), label)) return code;
    for (int a = 0; a < job.size; ++a) {
      if (again[a] == first[a] || seen[a]) continue;
      seen[a] = true;
      unstable.push_back(a);
      if (unstable.size() <= static_cast<std::size_t>(kListed)) {
        std::fprintf(job.streams.out, "  cell %s unstable: read %s, then %s in pass %d\n",
                     CellName(a).c_str(), ByteName(first[a]).c_str(), ByteName(again[a]).c_str(),
                     pass);
      }
    }
  }
  std::copy_n(first, job.size, image);
  if (unstable.empty()) return kSuccess;
  return Fail(job, kChipFault,
              "read: " + Counted(static_cast<int>(unstable.size()), "unstable cell") +
                  " (read differently from pass to pass); " + job.file + " not written");
}

void NoteCopies(const Job& job, const std::uint8_t* image) {
  const int copies = RepeatedCopies(image, job.size);
  if (copies == 1) return;
  std::fprintf(job.streams.err,
               "romtool: note: the chip reads as %d identical copies of its first %d bytes: it "
               "may be smaller than a %s, or an address line is open\n",
               copies, job.size / copies, job.chipName);
}

int Read(const Job& job, std::uint8_t* image) {
  Image first{};
  if (int code = ReadWholeChip(job, first.data(), "read")) return code;
  if (int code = ComparePasses(job, first.data(), image)) return code;
  NoteCopies(job, image);
  job.record.NoteFile(image, job.size);
  std::string error;
  if (!SaveImage(job.options.files[0], image, job.size, error)) {
    return Fail(job, kUsageOrFile, error);
  }
  std::fprintf(job.streams.out, "read %d bytes of %s into %s (%s)%s\n", job.size, job.chipName,
               job.file, FormatName(KindOf(job.file).format),
               job.options.passes > 1 ? "; every pass read the same" : "");
  return kSuccess;
}

// Whether the chip can take the image: -1 to go on writing, else the exit code.
int Precheck(const Job& job, const std::uint8_t* image) {
  Image chip{};
  if (int code = ReadWholeChip(job, chip.data(), "check")) return code;
  if (job.options.blankCheck && ReportBlank(job, MeasureBlank(chip.data(), job.size))) {
    return Fail(job, kChipFault, "write: the chip is not blank; nothing written");
  }
  if (job.options.noPrecheck) return -1;
  const Differences found = Compare(chip.data(), image, job.size);
  if (found.cells == 0) {
    std::fprintf(job.streams.out, "%s already holds %s: nothing written\n", job.chipName, job.file);
    return kSuccess;
  }
  if (found.needSetting == 0) {
    std::fprintf(job.streams.out, "%d of %d cells change (bits cleared only)\n", found.cells,
                 job.size);
    return -1;
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
  return Fail(job, kChipFault, "write: nothing written; erase the chip first");
}

int Write(const Job& job, const std::uint8_t* image) {
  if (job.options.blankCheck || !job.options.noPrecheck) {
    const int code = Precheck(job, image);
    if (code >= 0) return code;
  }
  if (int code = Report(job, WriteChipFrom(job.session, image), "write")) return code;
  if (!job.options.noVerify) {
    if (int code = Verify(job, image)) return code;
  }
  std::fprintf(job.streams.out, "wrote %d bytes of %s into %s%s\n", job.size, job.file,
               job.chipName, job.options.noVerify ? "" : "; read back and compared");
  return kSuccess;
}

}  // namespace

int RunChipJob(const Options& options, Session& session, std::uint8_t* image,
               const Streams& streams, JobRecord& record) {
  const Job job{options,
                session,
                streams,
                record,
                options.chip->activeSize,
                options.chip->name,
                options.files.empty() ? "" : options.files[0].c_str()};
  switch (options.command) {
    case Command::Blank:
      return Blank(job);
    case Command::Read:
      return Read(job, image);
    case Command::Write:
      return Write(job, image);
    case Command::Verify:
      if (int code = Verify(job, image)) return code;
      std::fprintf(streams.out, "%s matches %s: %d cells\n", job.chipName, job.file, job.size);
      return kSuccess;
    default:
      return kUsageOrFile;
  }
}

}  // namespace romtool
