#include "sim/romsim/adapter_latency.h"

#include <sys/prctl.h>

#include <algorithm>

namespace romprog::sim {
namespace {

// An FTDI adapter's 64-byte packet less its two status bytes.
constexpr std::size_t kBufferBytes = 62;

}  // namespace

AdapterLatency::AdapterLatency(int timerMs) : timerMs_(timerMs) {
  // The default 50 us of timer slack would be added to every wait.
  if (timerMs_ > 0) prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

void AdapterLatency::Hold(std::uint8_t byte, std::int64_t arrivalNs) {
  // The byte joins the buffer still waiting for its timer, unless that has
  // run out by its arrival or is full; else it starts a new timer.
  if (held_.empty() || held_.back().dueNs < arrivalNs || batch_ >= kBufferBytes) {
    held_.push_back({byte, arrivalNs + timerMs() * 1000000LL});
    batch_ = 1;
    return;
  }
  held_.push_back({byte, held_.back().dueNs});
  if (++batch_ < kBufferBytes) return;
  // A full buffer goes at once: at the arrival of the byte that filled it.
  for (auto it = held_.rbegin(); it != held_.rend() && it->dueNs == held_.back().dueNs; ++it) {
    it->dueNs = arrivalNs;
  }
}

bool AdapterLatency::Due(std::int64_t nowNs) const {
  return !held_.empty() && held_.front().dueNs <= nowNs;
}

std::vector<std::uint8_t> AdapterLatency::Release(std::int64_t nowNs) {
  std::vector<std::uint8_t> out;
  while (!held_.empty() && held_.front().dueNs <= nowNs) {
    out.push_back(held_.front().byte);
    held_.pop_front();
  }
  if (held_.empty()) batch_ = 0;
  return out;
}

std::int64_t AdapterLatency::NsToDue(std::int64_t nowNs) const {
  if (held_.empty()) return -1;
  return std::max<std::int64_t>(0, held_.front().dueNs - nowNs);
}

}  // namespace romprog::sim
