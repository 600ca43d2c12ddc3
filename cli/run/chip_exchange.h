// The two chip exchanges of romtool over an open port, reading and writing,
// with progress on stderr and a verdict that names the cell, the value read
// and the value expected. Ctrl-C ends either between two cells.
#pragma once

#include <cstdint>
#include <string>

#include "cli/base/exit_code.h"
#include "cli/run/port_session.h"

namespace romtool {

struct Verdict {
  int exitCode = kSuccess;
  std::string message;  // what went wrong; empty on success
  int address = -1;     // where the exchange ended short; -1: at the command byte
  int cells = 0;        // cells that passed in this exchange (written, when writing)
};

// The chip's cells into the first activeSize bytes of `image`; `label`
// names the step in what is said, `stepName` (else `label`) on the progress
// line, whose own counter numbers it.
Verdict ReadChipInto(PortSession& session, std::uint8_t* image, const char* label = "read",
                     const char* stepName = nullptr);
// The first activeSize bytes of `image` into the chip; a stop waits for the
// cell already on the line, so `cells` is what the chip holds of `image`.
Verdict WriteChipFrom(PortSession& session, const std::uint8_t* image);

// "0x01F4 (500)": how messages name a cell.
std::string CellName(int address);
// "0x3F".
std::string ByteName(std::uint8_t value);

}  // namespace romtool
