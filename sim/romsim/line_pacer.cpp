#include "sim/romsim/line_pacer.h"

#include <sys/prctl.h>

#include <algorithm>

#include "sim/monotonic_clock.h"

namespace romprog::sim {
namespace {

constexpr std::int64_t kNsPerSecond = 1000000000;

// The last stretch before a deadline is spun, not slept: a wake-up can come
// a good fraction of a byte time late, and it would be paid twice for every
// byte pair, which is far more than the host's own turnaround.
constexpr std::int64_t kSpinNs = 200 * 1000;

// Sleeps to a deadline on the monotonic clock, so wake-up latency never adds up.
void SleepUntil(std::int64_t ns) {
  const std::int64_t wake = ns - kSpinNs;
  if (wake > MonotonicNs()) SleepUntilNs(wake);
  while (MonotonicNs() < ns) {
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
  if (byteNs_ == 0) return MonotonicNs();
  lineFreeNs_ = std::max(lineFreeNs_, MonotonicNs()) + byteNs_;
  return lineFreeNs_;
}

void LinePacer::AdvanceAndSleep() {
  if (byteNs_ == 0) return;
  // Back to back bytes follow the last one; after a pause the line starts now.
  lineFreeNs_ = std::max(lineFreeNs_, MonotonicNs()) + byteNs_;
  SleepUntil(lineFreeNs_);
}

}  // namespace romprog::sim
