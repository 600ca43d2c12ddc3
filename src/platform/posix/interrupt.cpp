#include "platform/interrupt.h"

#include <signal.h>

#include <atomic>

namespace romprog {
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
  // A closed terminal or a dropped SSH session ends the job the same way,
  // so the job log still learns what the chip holds.
  sigaction(SIGHUP, &action, nullptr);
  // Messages to a terminal or pipe that has gone away must not kill the job
  // half way: the write fails and the job ends between two cells as usual.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, nullptr);
}

bool Interrupted() {
  return interrupted;
}

}  // namespace romprog
