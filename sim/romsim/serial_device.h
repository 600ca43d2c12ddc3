// A real serial port served by the emulator (e.g. a USB adapter wired to
// the host's port by a null-modem cable).
#pragma once

#include <string>

#include "sim/unique_fd.h"

namespace romprog::sim {

// Opens `path` raw at 9600 8N1 without becoming its controlling terminal.
UniqueFd OpenSerialDevice(const std::string& path, std::string& error);
// The CTS input, where the host's RTS arrives through a null-modem cable.
// False when the line has no modem lines.
bool ReadCts(int fd, bool& high);

}  // namespace romprog::sim
