// Asking a Linux serial driver to hand each received byte on at once instead
// of batching (ASYNC_LOW_LATENCY; USB adapters then drop their latency timer
// to 1 ms). The protocol moves one byte per turn, so batching costs a timer
// period per byte.
#pragma once

#include "platform/system_serial_ports.h"

namespace romprog::posix {

// `error` receives errno when refused.
LowLatency RequestLowLatency(int fd, int& error);

}  // namespace romprog::posix
