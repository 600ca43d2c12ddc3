#include "platform/posix/low_latency.h"

#include <cerrno>

#ifdef __linux__
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace romprog::posix {

LowLatency RequestLowLatency(int fd, int& error) {
  error = 0;
#ifdef __linux__
  serial_struct serial{};
  if (ioctl(fd, TIOCGSERIAL, &serial) != 0) {
    error = errno;
    return LowLatency::Refused;
  }
  if (serial.flags & ASYNC_LOW_LATENCY) return LowLatency::AlreadyOn;
  serial.flags |= ASYNC_LOW_LATENCY;
  if (ioctl(fd, TIOCSSERIAL, &serial) != 0) {
    error = errno;
    return LowLatency::Refused;
  }
  return LowLatency::SwitchedOn;
#else
  (void)fd;
  return LowLatency::NotAvailable;
#endif
}

}  // namespace romprog::posix
