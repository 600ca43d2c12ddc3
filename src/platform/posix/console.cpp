#include "platform/console.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace romprog {

bool IsTerminal(std::FILE* stream) {
  return isatty(fileno(stream)) != 0;
}

bool MovesCursor(std::FILE*) {
  return true;
}

int ConsoleColumns(std::FILE* stream) {
  winsize size{};
  if (ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 0;
}

std::FILE* OpenConsoleInput() {
  return std::fopen("/dev/tty", "r");
}

}  // namespace romprog
