// romtool link: how fast the line to the programmer really is, what that
// makes of each chip operation, and what to do when an adapter holds bytes.
#pragma once

#include <string>

#include "cli/commands.h"
#include "cli/options.h"
#include "platform/system_serial_ports.h"

namespace romtool {

// What the driver made of the low-latency request ("switched on"), empty
// where romtool makes none.
std::string LowLatencyWords(const romprog::SystemPort& port);
// How `name` was opened, a line per step, for -v.
std::string OpenedNotes(const std::string& name, const romprog::SystemPort& port);

// One read exchange of kLinkCells cells, ended by lowering RTS; 0 when the
// programmer answered, kNoAnswer when the port or the programmer did not.
int LinkCommand(const Options& options, const Streams& streams);

// A cell's share of the 9600-baud line: a byte each way, 10 bits a byte.
constexpr double kLineMsPerCell = 2 * 10 * 1000.0 / 9600;
// Cells timed; the first one, which waits for the command, is left out.
constexpr int kLinkCells = 256;
// Above this many times the line time a cell is waiting for something.
constexpr double kSlowFactor = 1.5;

}  // namespace romtool
