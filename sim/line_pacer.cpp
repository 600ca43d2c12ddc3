#include "line_pacer.h"

#include <sys/prctl.h>
#include <time.h>

#include <algorithm>
#include <cerrno>

namespace romprog::sim {
namespace {

constexpr std::int64_t kNsPerSecond = 1000000000;

std::int64_t NowNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * kNsPerSecond + t.tv_nsec;
}

// The last stretch before a deadline is spun, not slept: a wake-up can come
// a good fraction of a byte time late, and it would be paid twice for every
// byte pair, which is far more than the host's own turnaround.
constexpr std::int64_t kSpinNs = 200 * 1000;

// Sleeps to an absolute deadline, so wake-up latency never adds up.
void SleepUntil(std::int64_t ns) {
  const std::int64_t wake = ns - kSpinNs;
  if (wake > NowNs()) {
    timespec t{};
    t.tv_sec = static_cast<time_t>(wake / kNsPerSecond);
    t.tv_nsec = static_cast<long>(wake % kNsPerSecond);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
    }
  }
  while (NowNs() < ns) {
  }
}

}  // namespace

LinePacer::LinePacer(int baud) : byteNs_(baud > 0 ? 10 * kNsPerSecond / baud : 0) {
  // The default 50 us of timer slack would be added to every sleep.
  if (byteNs_ > 0) prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

void LinePacer::Received() {
  AdvanceAndSleep();
}
void LinePacer::Sending() {
  AdvanceAndSleep();
}

std::int64_t LinePacer::Schedule() {
  if (byteNs_ == 0) return NowNs();
  lineFreeNs_ = std::max(lineFreeNs_, NowNs()) + byteNs_;
  return lineFreeNs_;
}

void LinePacer::AdvanceAndSleep() {
  if (byteNs_ == 0) return;
  // Back to back bytes follow the last one; after a pause the line starts now.
  lineFreeNs_ = std::max(lineFreeNs_, NowNs()) + byteNs_;
  SleepUntil(lineFreeNs_);
}

}  // namespace romprog::sim
