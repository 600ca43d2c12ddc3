// Ctrl-C during a chip command: the exchange is ended between two cells
// (RTS lowered, the port closed as usual) instead of the process dying with
// RTS up and a file half written.
#pragma once

namespace romprog {

// From here on Ctrl-C (SIGINT, SIGTERM and SIGHUP, a closed terminal; on
// Windows the console's Ctrl-C, Ctrl-Break and its closing) only marks the
// request.
void CatchInterrupt();
// Whether the user asked to stop.
bool Interrupted();

}  // namespace romprog
