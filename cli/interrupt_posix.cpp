#include <signal.h>

#include "cli/interrupt.h"

namespace romtool {
namespace {

volatile sig_atomic_t interrupted = 0;

void Mark(int) {
  interrupted = 1;
}

}  // namespace

void CatchInterrupt() {
  struct sigaction action {};
  action.sa_handler = Mark;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool Interrupted() {
  return interrupted != 0;
}

}  // namespace romtool
