// Asking a Linux serial driver to hand each received byte on at once instead
// of batching (ASYNC_LOW_LATENCY; USB adapters then drop their latency timer
// to 1 ms). The protocol moves one byte per turn, so batching costs a timer
// period per byte.
#pragma once

namespace romprog::posix {

enum class LowLatency {
  Enabled,     // the flag was off and is on now
  AlreadyOn,   // the driver had it on
  Refused,     // the driver has no such setting (a pty) or said no
  Unsupported  // not a Linux build
};

// `error` receives errno when refused.
LowLatency RequestLowLatency(int fd, int& error);

}  // namespace romprog::posix
