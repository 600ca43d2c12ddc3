// The one clock of the emulator and its hosts: nanoseconds on CLOCK_MONOTONIC.
// Line times, adapter timers and silences are all scheduled and compared on
// it, so a deadline computed by one part means the same to every other.
#pragma once

#include <time.h>

#include <cerrno>
#include <cstdint>

namespace romprog::sim {

inline std::int64_t MonotonicNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000000000LL + t.tv_nsec;
}

// Sleeps until MonotonicNs() reaches `ns` (at once when it has).
inline void SleepUntilNs(std::int64_t ns) {
  const timespec until{static_cast<time_t>(ns / 1000000000LL),
                       static_cast<long>(ns % 1000000000LL)};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

}  // namespace romprog::sim
