#include "sim/romsim/serial_device.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>

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
  // A file or /dev/null opens too; what romsim sends would land in it.
  struct stat status {};
  termios line{};
  if (fstat(fd.get(), &status) != 0 || !S_ISCHR(status.st_mode) ||
      tcgetattr(fd.get(), &line) != 0) {
    error = path + " is not a serial port";
    return UniqueFd();
  }
  if (!SetRawLine(fd.get())) {
    error = "cannot set the line of " + path + ": " + std::strerror(errno);
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
