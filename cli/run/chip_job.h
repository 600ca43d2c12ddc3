// One chip's job on one port: the port opened once (what opening did shown
// by -v), the parts every step on the chip needs, its entry in the job log,
// and the command that goes on with it. The rounds that run it over ports
// and chips (chip_command.h) stand above it.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "cli/base/exit_code.h"
#include "cli/base/job_log.h"
#include "cli/base/streams.h"
#include "cli/command_line/options.h"
#include "cli/run/chip_exchange.h"
#include "core/image.h"

namespace romtool {

// What each step of a chip job has in hand once the port is open.
struct ChipJob {
  const Options& options;
  const Streams& streams;
  PortSession& session;
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
  // Each port's own FILE, in the order of options.ports (read saves each
  // chip apart); empty: every port takes the command's FILE.
  std::vector<std::string> portFiles;
};

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

// `command` for this job's chip alone, to go on with it (finish a write,
// verify it): the options the run was given less the other ports and
// --repeat, and the chip's own serial, which in a --repeat run goes to the
// next chip (so none is given: the next free one is taken then). See
// CommandLineFor for `leaveOut`.
std::string CommandToContinue(const ChipJob& job, Command command,
                              std::initializer_list<const char*> leaveOut = {});

// The whole chip into `chip`; its sums go into the record. `stepName`, when
// given, names the step on the progress line instead of `label`.
int ReadWholeChip(const ChipJob& job, std::uint8_t* chip, const std::string& label,
                  const std::string& stepName = std::string());

}  // namespace romtool
