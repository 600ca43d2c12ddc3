#include "cli/run/chip_session.h"

#include <chrono>

#include "cli/command_line/command_table.h"
#include "cli/run/job_plan.h"
#include "cli/run/next_chip_loop.h"
#include "cli/run/progress.h"
#include "cli/run/prompt_input.h"
#include "platform/captured_stream.h"
#include "platform/console.h"
#include "platform/interrupt.h"
#include "platform/system_serial_ports.h"

namespace romtool {
namespace {

// What the driver made of the low-latency request ("switched on"), empty
// where romtool makes none.
std::string LowLatencyWords(const romprog::SystemPort& port) {
  using romprog::LowLatency;
  switch (port.lowLatency) {
    case LowLatency::SwitchedOn:
      return "switched on";
    case LowLatency::AlreadyOn:
      return "already on";
    case LowLatency::Refused:
      return "refused by the driver (" + port.refusal + "); bytes may wait for the driver's timer";
    case LowLatency::NotAvailable:
      return "not available on this system";
    case LowLatency::NotAsked:
      break;
  }
  return std::string();
}

}  // namespace

int RunJobOnPort(const Options& options, const Streams& given, const ChipSteps& steps,
                 romprog::Image& image, JobRecord& record, ProgressBoard* board, int row) {
  // What ends the job goes into its record too, for the log and --json.
  Streams streams = given;
  streams.said = &record.error;
  std::string lowLatency;
  std::unique_ptr<romprog::SerialPort> port = OpenCommandPort(options, streams, lowLatency);
  if (!port) return kNoAnswer;
  const romprog::ChipType& chip = *options.chip;
  if (options.verbose) {
    std::fprintf(streams.err, "%s: %d cells, read command 0x%02X, write command 0x%02X\n",
                 chip.name, chip.activeSize, chip.chipCode, chip.chipCode + 1);
  }
  std::unique_ptr<romprog::Clock> clock = romprog::MakeSystemClock();
  Session session{*port, *clock, chip, streams.err,
                  board ? board->Terminal() : romprog::IsTerminal(streams.err)};
  Progress progress(streams.err, session.terminal, PlannedSteps(options), chip.activeSize);
  if (board) progress.ShowOn(board, row);
  if (!options.quiet) session.progress = &progress;
  const ChipJob job{
      options, streams,         session,   record,
      image,   chip.activeSize, chip.name, options.files.empty() ? "" : options.files[0].c_str()};
  const int code = steps.onChip(job);
  record.cells = session.cellsDone;
  return code;
}

int RunChipCommand(const Options& options, const Streams& streams, const ChipSteps& steps) {
  romprog::CatchInterrupt();
  JobRecord record;
  record.start = UtcNow();
  record.command = CommandWord(options.command);
  record.port = options.port;
  record.chip = options.chip->name;
  if (!options.files.empty()) record.file = options.files[0];
  const auto start = std::chrono::steady_clock::now();
  // --json keeps stdout for the results; --quiet shows no results at all
  // (with --json: the JSON lines alone).
  const romprog::NullStream null;
  const Streams job{options.quiet  ? null.file()
                    : options.json ? streams.err
                                   : streams.out,
                    streams.err, options.json ? streams.out : nullptr, &record.error};
  romprog::Image image{};
  record.exitCode = steps.prepare ? steps.prepare(options, job, image, record) : kSuccess;
  if (record.exitCode == kSuccess) {
    // The image is in hand: a run chip after chip reads its answers from the
    // terminal when the image came on standard input.
    const PromptFile input = PromptInput(options);
    return RunOnPorts(options, job, steps, image, record, input.get());
  }
  record.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  LogJob(options, job, record);
  return record.exitCode;
}

void LogJob(const Options& options, const Streams& streams, const JobRecord& record) {
  const std::string path = LogPath(options.logFile);
  if (!options.noLog && !path.empty() && !AppendLine(path, JobLine(record))) {
    std::fprintf(streams.err, "romtool: note: cannot add to the job log %s\n", path.c_str());
  }
  if (streams.json) {
    std::fprintf(streams.json, "%s\n", JobLine(record).c_str());
    std::fflush(streams.json);
  }
}

std::unique_ptr<romprog::SerialPort> OpenCommandPort(const Options& options, const Streams& streams,
                                                     std::string& lowLatency) {
  romprog::SystemPort system = romprog::OpenSystemPort(options.port);
  if (!system.opened.port) {
    Fail(streams, kNoAnswer,
         "cannot open port: " + romprog::DescribePortFault(options.port, system.opened.result));
    return nullptr;
  }
  lowLatency = LowLatencyWords(system);
  if (options.verbose) {
    std::fprintf(streams.err, "opened %s %s\n", options.port.c_str(), system.setup.c_str());
    if (!lowLatency.empty())
      std::fprintf(streams.err, "low-latency mode: %s\n", lowLatency.c_str());
  }
  return std::move(system.opened.port);
}

int Report(const ChipJob& job, const Verdict& verdict, const std::string& step) {
  if (verdict.exitCode == kSuccess) return kSuccess;
  if (verdict.exitCode == kStopped) return Fail(job.streams, kStopped, verdict.message);
  return Fail(job.streams, verdict.exitCode, step + ": " + verdict.message);
}

int ReadWholeChip(const ChipJob& job, std::uint8_t* chip, const std::string& label,
                  const std::string& stepName) {
  job.record.step = label;
  const char* shown = stepName.empty() ? nullptr : stepName.c_str();
  if (int code = Report(job, ReadChipInto(job.session, chip, label.c_str(), shown), label)) {
    return code;
  }
  job.record.NoteChip(chip, job.size);
  return kSuccess;
}

}  // namespace romtool
