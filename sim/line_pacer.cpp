#include "line_pacer.h"

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

// Sleeps to an absolute deadline, so wake-up latency never adds up.
void SleepUntil(std::int64_t ns) {
  timespec t{};
  t.tv_sec = static_cast<time_t>(ns / kNsPerSecond);
  t.tv_nsec = static_cast<long>(ns % kNsPerSecond);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
  }
}

}  // namespace

LinePacer::LinePacer(int baud) : byteNs_(baud > 0 ? 10 * kNsPerSecond / baud : 0) {}

void LinePacer::Received() {
  AdvanceAndSleep();
}
void LinePacer::Sending() {
  AdvanceAndSleep();
}

void LinePacer::AdvanceAndSleep() {
  if (byteNs_ == 0) return;
  // Back to back bytes follow the last one; after a pause the line starts now.
  lineFreeNs_ = std::max(lineFreeNs_, NowNs()) + byteNs_;
  SleepUntil(lineFreeNs_);
}

}  // namespace romprog::sim
