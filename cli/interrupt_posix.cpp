#include <signal.h>

#include <atomic>

#include "cli/interrupt.h"

namespace romtool {
namespace {

// Lock-free, so the handler may set it and every port's thread read it.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void Mark(int) {
  interrupted = true;
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
  return interrupted;
}

}  // namespace romtool
