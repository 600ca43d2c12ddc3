#include "adapter_latency.h"

#include <sys/prctl.h>
#include <time.h>

#include <algorithm>

namespace romprog::sim {
namespace {

// An FTDI adapter's 64-byte packet less its two status bytes.
constexpr std::size_t kBufferBytes = 62;

}  // namespace

std::int64_t MonotonicNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000000000LL + t.tv_nsec;
}

AdapterLatency::AdapterLatency(int timerMs) : timerMs_(timerMs) {
  // The default 50 us of timer slack would be added to every wait.
  if (timerMs_ > 0) prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

void AdapterLatency::Hold(std::uint8_t byte, std::int64_t nowNs) {
  if (held_.empty()) dueNs_ = nowNs + timerMs() * 1000000LL;
  held_.push_back(byte);
}

bool AdapterLatency::Due(std::int64_t nowNs) const {
  return !held_.empty() && (held_.size() >= kBufferBytes || nowNs >= dueNs_);
}

std::vector<std::uint8_t> AdapterLatency::Release() {
  std::vector<std::uint8_t> out;
  out.swap(held_);
  return out;
}

std::int64_t AdapterLatency::NsToDue(std::int64_t nowNs) const {
  if (held_.empty()) return -1;
  return Due(nowNs) ? 0 : std::max<std::int64_t>(0, dueNs_ - nowNs);
}

}  // namespace romprog::sim
