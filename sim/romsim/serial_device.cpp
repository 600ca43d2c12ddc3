#include "sim/romsim/serial_device.h"

#include <fcntl.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>

#include "sim/raw_line.h"

namespace romprog::sim {

UniqueFd OpenSerialDevice(const std::string& path, std::string& error) {
  // Non-blocking open: a modem port would otherwise wait for carrier.
  UniqueFd fd(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.valid()) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return UniqueFd();
  }
  if (!SetRawLine(fd.get())) {
    error = path + " is not a serial line: " + std::strerror(errno);
    return UniqueFd();
  }
  const int flags = fcntl(fd.get(), F_GETFL);
  fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

bool ReadCts(int fd, bool& high) {
  int bits = 0;
  if (ioctl(fd, TIOCMGET, &bits) != 0) return false;
  high = (bits & TIOCM_CTS) != 0;
  return true;
}

}  // namespace romprog::sim
