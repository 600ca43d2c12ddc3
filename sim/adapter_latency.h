// The latency timer of a USB-serial adapter between the programmer and the
// host: a byte from the device waits in the adapter until the timer runs out
// (started by the first byte into an empty buffer), unless the buffer fills
// first. A host's low-latency request drops the timer to 1 ms, as Linux's
// ftdi_sio does.
#pragma once

#include <cstdint>
#include <vector>

namespace romprog::sim {

std::int64_t MonotonicNs();

class AdapterLatency {
 public:
  explicit AdapterLatency(int timerMs);  // 0: bytes pass at once
  bool active() const { return timerMs_ > 0; }
  void SetLowLatency(bool on) { lowLatency_ = on; }
  bool lowLatency() const { return lowLatency_; }
  int timerMs() const { return timerMs_ > 0 && lowLatency_ ? 1 : timerMs_; }

  // A byte from the device reached the adapter at `nowNs`.
  void Hold(std::uint8_t byte, std::int64_t nowNs);
  // True when the held bytes go to the host now.
  bool Due(std::int64_t nowNs) const;
  std::vector<std::uint8_t> Release();
  // Nanoseconds until the held bytes are due; -1 when none are held.
  std::int64_t NsToDue(std::int64_t nowNs) const;

 private:
  int timerMs_;
  bool lowLatency_ = false;
  std::vector<std::uint8_t> held_;
  std::int64_t dueNs_ = 0;
};

}  // namespace romprog::sim
