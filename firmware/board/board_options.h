// romboard's command line.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "firmware/board/eprom_model.h"

namespace romprog::board {

struct BoardOptions {
  std::string firmware;  // the ELF to run
  std::string chipFile;  // the chip's 32768 bytes, kept between runs
  std::string linkPath;  // symlink to the pty slave
  std::string logFile;   // RTS edges and the run's figures
  EpromKind socket = EpromKind::k27C256;
  bool erase = false;  // blank the chip first (UV light)
  double speed = 1.0;  // simulated time may run this many times the wall clock
  EpromFaults faults;
  bool help = false;
};

bool ParseBoardOptions(const std::vector<std::string>& args, BoardOptions& options,
                       std::string& error);
const char* BoardUsage();

}  // namespace romprog::board
