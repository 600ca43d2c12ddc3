// The programmer on one open port, as a chip job's exchanges with it
// (chip_exchange.h) share it: the port, its clock, the chip, where progress
// goes, and the cells that passed so far.
#pragma once

#include <cstdio>

#include "cli/run/progress.h"
#include "core/chip_types.h"
#include "core/protocol/serial_port.h"

namespace romtool {

struct PortSession {
  romprog::SerialPort& port;
  romprog::Clock& clock;
  const romprog::ChipType& chip;
  std::FILE* progressOut;        // stderr
  bool terminal;                 // progressOut is a terminal
  int cellsDone = 0;             // cells that passed, over every exchange so far
  Progress* progress = nullptr;  // the job's progress line; nullptr: none shown
};

}  // namespace romtool
