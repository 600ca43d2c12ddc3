// What the four chip commands do once the port is open and the file is in
// hand: the reads, the judgement of what was read, the write, and what the
// user is told.
#pragma once

#include <cstdint>

#include "cli/chip_operations.h"
#include "cli/commands.h"
#include "cli/job_log.h"

namespace romtool {

// The exit code; `record` gets the chip's sums whenever it was read whole
// (and, for read, the file's). `image` holds kBufferSize bytes: the file's
// for write and verify, the chip's after read.
int RunChipJob(const Options& options, Session& session, std::uint8_t* image,
               const Streams& streams, JobRecord& record);

}  // namespace romtool
