#include <windows.h>

#include <atomic>

#include "cli/interrupt.h"

namespace romtool {
namespace {

std::atomic<bool> interrupted{false};

// Runs on a thread of its own that the console starts.
BOOL WINAPI Mark(DWORD event) {
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

}  // namespace romtool
