// A chip command's run: its entry in the job log around all of it, the port
// opened once (what opening did shown by -v), and the parts every step on
// the chip needs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "cli/base/exit_code.h"
#include "cli/base/job_log.h"
#include "cli/command_line/options.h"
#include "cli/run/chip_exchange.h"
#include "core/image.h"

namespace romtool {

// What each step of a chip job has in hand once the port is open.
struct ChipJob {
  const Options& options;
  const Streams& streams;
  Session& session;
  JobRecord& record;
  romprog::Image& image;  // the file's bytes for write and verify; the chip's after read
  int size;               // the chip's cells
  const char* chipName;
  const char* file;  // "" when the command takes none
};

struct ChipSteps {
  // Before the port opens (the file loaded, the place to save at checked):
  // the exit code. nullptr when there is nothing to do.
  std::function<int(const Options& options, const Streams& streams, romprog::Image& image,
                    JobRecord& record)>
      prepare;
  std::function<int(const ChipJob& job)> onChip;
};

// Runs a chip command on every port given (cli/run/port_workers.h) and adds an
// entry per port to the job log; Ctrl-C stops it between two cells. The
// exit code.
int RunChipCommand(const Options& options, const Streams& streams, const ChipSteps& steps);

// The chip job on options.port with `image` prepared (the file's bytes for
// write and verify); the exit code, the record filled but for its timing.
// Progress goes to `board` as line `row` when one is given.
int RunJobOnPort(const Options& options, const Streams& streams, const ChipSteps& steps,
                 romprog::Image& image, JobRecord& record, ProgressBoard* board, int row);

// The record as a line of the job log (unless --no-log).
void LogJob(const Options& options, const Streams& streams, const JobRecord& record);

// The port options.port names, with the programmer's line settings; nullptr
// after saying why (exit kNoAnswer). -v shows how it was opened;
// `lowLatency` says what the driver made of the low-latency request
// ("switched on"), empty where romtool makes none. Every romtool command that talks to the
// programmer opens its port here.
std::unique_ptr<romprog::SerialPort> OpenCommandPort(const Options& options, const Streams& streams,
                                                     std::string& lowLatency);

// A verdict as an exit code, its message after `step` unless the user stopped.
int Report(const ChipJob& job, const Verdict& verdict, const std::string& step);

// The whole chip into `chip`; its sums go into the record. `stepName`, when
// given, names the step on the progress line instead of `label`.
int ReadWholeChip(const ChipJob& job, std::uint8_t* chip, const std::string& label,
                  const std::string& stepName = std::string());

}  // namespace romtool
