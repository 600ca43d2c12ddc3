// What `read --dat` adds to a read: the DATs checked before the chip is
// read, and the chip's image, once saved, looked up in them as `ident` does.
#pragma once

#include <string>

#include "cli/run/chip_job.h"

namespace romtool {

// kSuccess when every --dat opens (or none is given), else the usage error
// told on `streams`. Sets libxml2 up before the ports' threads start.
int CheckDats(const Options& options, const Streams& streams);

// The image read looked up in the DATs, under the name it was saved as: a
// line a match (a JSON object with --json). Does not change the read's
// exit code: the image is saved whatever the DATs say, and a DAT that
// cannot be read after all is told as such.
void IdentifyRead(const ChipJob& job, const std::string& savedAs);

}  // namespace romtool
