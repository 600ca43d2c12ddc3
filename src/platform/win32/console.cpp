#include "platform/console.h"

#include <io.h>
#include <windows.h>

namespace romprog {
namespace {

HANDLE ConsoleOf(std::FILE* stream) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
}

}  // namespace

bool IsTerminal(std::FILE* stream) {
  return _isatty(_fileno(stream)) != 0;
}

bool MovesCursor(std::FILE* stream) {
  HANDLE console = ConsoleOf(stream);
  DWORD mode = 0;
  return GetConsoleMode(console, &mode) &&
         SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

int ConsoleColumns(std::FILE* stream) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (GetConsoleScreenBufferInfo(ConsoleOf(stream), &info)) {
    return info.srWindow.Right - info.srWindow.Left + 1;
  }
  return 0;
}

std::FILE* OpenConsoleInput() {
  return std::fopen("CONIN$", "r");
}

}  // namespace romprog
