// romtool write: the chip checked against the file first (can it take it,
// does it hold it already), written, then read back and compared.
#include <algorithm>

#include "cli/commands/commands.h"
#include "cli/images/chip_file.h"
#include "cli/run/chip_command.h"
#include "cli/run/chip_findings.h"

namespace romtool {
namespace {

constexpr int kGoOn = -1;

// The write that finishes the job from where it stands: the check before
// writing sees the written part as already held, so it must run and must
// not ask for a blank chip.
std::string WriteAgain(const ChipJob& job) {
  return CommandToContinue(job, Command::Write, {"--no-precheck", "--blank-check"});
}

// "cell 0x0005 (5)", "cells 0x0000 (0) to 0x0004 (4)".
std::string Span(int first, int last) {
  if (first == last) return "cell " + CellName(first);
  return "cells " + CellName(first) + " to " + CellName(last);
}

// What the chip holds after a write that ended at `verdict.address`: the
// cells below it are written, the one there is `there` (when not empty), the
// rest untouched.
std::string ChipNow(const ChipJob& job, const Verdict& verdict, const std::string& there) {
  int next = verdict.cells;
  if (next == 0 && there.empty()) return "nothing was written: the chip is as it was";
  std::string text = "the chip now holds " +
                     (next > 0 ? Span(0, next - 1) : std::string("nothing")) + " of " + job.file;
  if (!there.empty()) {
    text += "; " + Span(next, next) + " " + there;
    ++next;
  }
  if (next < job.size) text += "; " + Span(next, job.size - 1) + " untouched";
  return text;
}

// After a write that ended short: what the chip holds, the likely cause and
// the next step, as lines after the verdict.
int WriteCutShort(const ChipJob& job, const Verdict& verdict) {
  const Streams& streams = job.streams;
  const int code = verdict.exitCode;
  if (code == kStopped) {
    Fail(streams, code, ChipNow(job, verdict, ""));
    return Fail(streams, code,
                "to finish the job: " + WriteAgain(job) +
                    " (its check sees the written part as already held)");
  }
  if (code == kChipFault) {
    Fail(streams, code, ChipNow(job, verdict, "did not take its value"));
    return Fail(streams, code,
                "likely a worn or not fully erased chip: erase it, then " + WriteAgain(job));
  }
  if (verdict.address < 0) return Fail(streams, code, ChipNow(job, verdict, ""));
  Fail(streams, code, ChipNow(job, verdict, "may be written in part (its byte was sent)"));
  return Fail(streams, code,
              "check the programmer's power, the cable and the programmer, then " +
                  WriteAgain(job) + " (its check sees the written part as already held)");
}

// Whether the chip can take the image: kGoOn to go on writing, else the
// exit code. `chip` gets what the chip held. With --at the image first takes
// the rest of the chip as it is.
int Precheck(const ChipJob& job, romprog::Image& chip) {
  romprog::Image& image = job.image;
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
    // The programmer takes every cell in turn: those that keep their value
    // are written with it, which changes nothing.
    std::fprintf(job.streams.out,
                 "%d of %d cells change (bits cleared only); all %d are written, the others "
                 "with the value they hold\n",
                 found.cells, job.size, job.size);
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

// Whether the exchange itself ended short (stopped, silence, the line).
bool CutShort(int code) {
  return code == kStopped || code == kNoAnswer;
}

// The sums of what the chip holds after a write that stopped: the cells
// before the stop hold the image, the rest what the check read (`chip`,
// nullptr when it did not run). Unknown (left out) when no check ran or the
// write ended on a cell that may hold anything.
void NoteChipAfter(const ChipJob& job, const Verdict& written, const romprog::Image* chip) {
  job.record.chipSums = false;
  if (!chip || written.exitCode != kStopped) return;
  romprog::Image held = *chip;
  std::copy(job.image.begin(), job.image.begin() + written.cells, held.begin());
  job.record.NoteChip(held.data(), job.size);
}

int Write(const ChipJob& job) {
  job.record.cellsWritten = 0;
  romprog::Image chip{};
  bool checked = false;
  // Writing a cell its own value changes nothing, so --at writes the whole chip.
  if (job.options.blankCheck || !job.options.noPrecheck || job.options.at) {
    const int code = Precheck(job, chip);
    if (CutShort(code))
      return Fail(job.streams, code, "nothing was written: the chip is as it was");
    if (code != kGoOn) return code;
    checked = true;
  }
  // From here the check's sums no longer tell what the chip holds.
  job.record.chipSums = false;
  job.record.step = "write";
  const Verdict written = WriteChipFrom(job.session, job.image.data());
  job.record.cellsWritten = written.cells;
  if (Report(job, written, "write")) {
    NoteChipAfter(job, written, checked ? &chip : nullptr);
    return WriteCutShort(job, written);
  }
  if (!job.options.noVerify) {
    const int code = VerifyChip(job, job.image.data(), true);
    if (CutShort(code)) {
      return Fail(job.streams, code,
                  "the chip is fully written but not verified: " +
                      CommandToContinue(job, Command::Verify) + " checks it");
    }
    if (code) return code;
  }
  const char* compared = job.options.noVerify ? "" : "; read back and compared";
  if (job.record.at >= 0) {
    std::fprintf(job.streams.out, "wrote %s into cells %s to %s of %s, the rest as it held%s\n",
                 job.file, CellName(job.record.at).c_str(),
                 CellName(job.record.at + job.record.atSize - 1).c_str(), job.chipName, compared);
  } else {
    std::fprintf(job.streams.out, "wrote %d bytes of %s into %s%s\n", job.size, job.file,
                 job.chipName, compared);
  }
  return kSuccess;
}

}  // namespace

int WriteCommand(const Options& options, const Streams& streams) {
  return RunChipCommand(options, streams, {LoadJobFile, Write});
}

// --serial must fall in cells of the chip that FILE leaves blank.
std::string WriteCheck(const Options& options) {
  if (options.serial.width <= 0 || !options.chip) return std::string();
  const auto given = std::find_if(options.given.begin(), options.given.end(),
                                  [](const auto& option) { return option.first == "--serial"; });
  return SerialCellFault(options.serial, given == options.given.end() ? "" : given->second,
                         options.chip->name, options.chip->activeSize, options.base,
                         options.baseAuto);
}

}  // namespace romtool
