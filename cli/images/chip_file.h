// The image file a command works on, loaded for its chip type.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/base/exit_code.h"
#include "cli/base/job_log.h"
#include "cli/base/streams.h"
#include "cli/command_line/options.h"
#include "cli/images/image_file.h"
#include "core/image.h"

namespace romtool {

// How the options say files are read (--lenient, --base).
LoadRules RulesOf(const Options& options);

// Each line of `note` as a note on stderr.
void PrintNote(const Streams& streams, const std::string& note);

// `path` loaded into `image` for options.chip, a note on stderr when it does
// not fit the chip; false after saying why (exit kUsageOrFile).
bool LoadChipFile(const Options& options, const std::string& path, romprog::Image& image,
                  const Streams& streams);

// `path` for the `size` cells from `cell` on as LoadCells gives them, its
// notes on stderr; false after saying why (exit kUsageOrFile).
bool LoadFileCells(const Options& options, const std::string& path, int size,
                   std::vector<std::uint8_t>& cells, const Streams& streams, int cell = 0);

// The file of write and verify loaded, its sums in the record; with --at
// only its own cells, from that cell on (the record keeps where). The exit
// code (a chip job's step before the port opens).
int LoadJobFile(const Options& options, const Streams& streams, romprog::Image& image,
                JobRecord& record);

// With --at: every cell of `image` outside the file's range as `chip` holds
// it, so the chip keeps what the file does not cover.
void KeepChipAround(const JobRecord& record, const std::uint8_t* chip, romprog::Image& image,
                    int size);

}  // namespace romtool
