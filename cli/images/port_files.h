// The files read saves its chips to when it reads on several ports at once:
// one per port, named for it.
#pragma once

#include <string>
#include <vector>

#include "cli/command_line/options.h"

namespace romtool {

// What a file name says of a port: "ttyUSB0", "pts-3", "COM3".
std::string PortLabel(const std::string& port);
// The file read saves port `n` (from 1) to: `name` with "{port}" and "{n}"
// filled in; without either, and when there are several ports, the port's
// label before the extension ("chip.hex" -> "chip-ttyUSB0.hex").
std::string OutputFileFor(const std::string& name, const std::string& port, int n, bool several);

// The file read saves each port's chip to, in the order of options.ports.
std::vector<std::string> PortFiles(const Options& options);

}  // namespace romtool
