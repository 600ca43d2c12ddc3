#include "cli/run/chip_command.h"

#include <chrono>

#include "cli/command_line/command_table.h"
#include "cli/run/next_chip_loop.h"
#include "cli/run/prompt_input.h"
#include "platform/captured_stream.h"
#include "platform/interrupt.h"

namespace romtool {

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

}  // namespace romtool
