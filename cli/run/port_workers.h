// Several programmers at once: the chip job on every port given with -p,
// one thread per port, each with its own port, clock and exchange. The
// threads share the image they start from (read-only) and the progress
// board, whose lock also guards the job log; nothing else.
#pragma once

#include <string>
#include <vector>

#include "cli/run/chip_job.h"

namespace romtool {

// One port's share of a round.
struct PortTurn {
  Options options;       // options.port this port, FILE its own when it has one
  romprog::Image image;  // what goes into, or is compared with, its chip
  JobRecord record;      // its job log entry, filled by the round
};

// Every turn's job at once, each in a thread of its own when there are
// several; their messages shown whole and named for the port as each job
// ends. Each record gets its exit code, its timing and its log line.
void RunRound(std::vector<PortTurn>& turns, const Streams& streams, const ChipSteps& steps);

// The turns for options.ports, each with a copy of `image` and of `base`,
// and FILE the port's own from `files` (ChipSteps::portFiles) unless that
// is empty.
std::vector<PortTurn> TurnsFor(const Options& options, const std::vector<std::string>& files,
                               const romprog::Image& image, const JobRecord& base);

// The worst of the codes: a stop above a lost line above a file error
// above a chip fault.
int WorstCode(const std::vector<PortTurn>& turns);

// "4 ports: 3 ok, 1 failed (/dev/ttyUSB2: no-answer); 52.1 s" on stderr.
void PrintPortSummary(const std::vector<PortTurn>& turns, const Streams& streams, double seconds);

}  // namespace romtool
