#include "cli/run/chip_job.h"

#include <algorithm>

#include "cli/base/serial_number.h"
#include "cli/run/job_plan.h"
#include "cli/run/progress.h"
#include "core/hex_text.h"
#include "platform/console.h"
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
    std::fprintf(streams.err, "%s: %d cells, read command %s, write command %s\n", chip.name,
                 chip.activeSize, romprog::HexNumber(chip.chipCode, 2).c_str(),
                 romprog::HexNumber(chip.chipCode + 1, 2).c_str());
  }
  std::unique_ptr<romprog::Clock> clock = romprog::MakeSystemClock();
  PortSession session{*port, *clock, chip, streams.err,
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

std::string CommandToContinue(const ChipJob& job, Command command,
                              std::initializer_list<const char*> leaveOut) {
  Options own = job.options;
  auto& given = own.given;
  given.erase(
      std::remove_if(given.begin(), given.end(),
                     [&job](const std::pair<std::string, std::string>& option) {
                       return (option.first == "--port" && option.second != job.options.port) ||
                              option.first == "--repeat";
                     }),
      given.end());
  for (auto& [name, value] : given) {
    if (name != "--serial" || !job.record.hasSerial) continue;
    value = job.options.repeat ? SerialRuleWithoutStart(job.options.serial)
                               : SerialRuleText(job.options.serial, job.record.serial);
  }
  return CommandLineFor(own, command, leaveOut);
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
