// The image file a command works on, loaded for its chip type.
#pragma once

#include <string>

#include "cli/exit_code.h"
#include "cli/job_log.h"
#include "cli/options.h"
#include "core/image.h"

namespace romtool {

// `path` loaded into `image` for options.chip, a note on stderr when it does
// not fit the chip; false after saying why (exit kUsageOrFile).
bool LoadChipFile(const Options& options, const std::string& path, romprog::Image& image,
                  const Streams& streams);

// The file of write and verify loaded, its sums in the record; the exit code
// (a chip job's step before the port opens).
int LoadJobFile(const Options& options, const Streams& streams, romprog::Image& image,
                JobRecord& record);

}  // namespace romtool
