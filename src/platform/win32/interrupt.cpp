#include "platform/interrupt.h"

#include <windows.h>

#include <atomic>

namespace romprog {
namespace {

std::atomic<bool> interrupted{false};

// Windows ends the process a few seconds after a close handler returns: long
// enough for the cell on the line and the job log.
constexpr DWORD kClosingGraceMs = 4000;

// Runs on a thread of its own that the console starts.
BOOL WINAPI Mark(DWORD event) {
  if (event == CTRL_CLOSE_EVENT) {
    // The console window closed, as a terminal hangs up: stop as for
    // Ctrl-C; the process ends once the job is logged (or the grace is up).
    interrupted = true;
    Sleep(kClosingGraceMs);
    return TRUE;
  }
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  interrupted = true;
  return TRUE;
}

}  // namespace

void CatchInterrupt() {
  SetConsoleCtrlHandler(Mark, TRUE);
}

bool Interrupted() {
  return interrupted;
}

}  // namespace romprog
