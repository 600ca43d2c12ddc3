#include "sim/raw_line.h"

#include <termios.h>

namespace romprog::sim {

bool SetRawLine(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return false;
  // cfmakeraw clears the translations that would eat or change 0x0D, 0x0A,
  // 0x11, 0x13 and 0x03 (CR/NL mapping, XON/XOFF, signals) and the echo.
  cfmakeraw(&t);
  t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS | CSIZE);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  cfsetispeed(&t, B9600);
  cfsetospeed(&t, B9600);
  return tcsetattr(fd, TCSANOW, &t) == 0;
}

}  // namespace romprog::sim
