// Puts the emulator in a session of its own, so the pty it serves can be its
// controlling terminal and no other process (wineserver) adopts it.
#pragma once

#include <string>

namespace romprog::sim {

// Returns in the process that goes on. A process-group leader (a job of an
// interactive shell) cannot start a session; it forks, the child goes on and
// the parent stays behind relaying SIGTERM/SIGINT/SIGHUP and exits with the
// child's status.
bool EnterOwnSession(std::string& error);

}  // namespace romprog::sim
