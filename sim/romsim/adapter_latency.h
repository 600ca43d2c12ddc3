// The latency timer of a USB-serial adapter between the programmer and the
// host: a byte from the device waits in the adapter until the timer runs out
// (started by the first byte into an empty buffer), unless the buffer fills
// first. A host's low-latency request drops the timer to 1 ms, as Linux's
// ftdi_sio does.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

namespace romprog::sim {

class AdapterLatency {
 public:
  explicit AdapterLatency(int timerMs);  // 0: bytes pass at once
  bool active() const { return timerMs_ > 0; }
  void SetLowLatency(bool on) { lowLatency_ = on; }
  bool lowLatency() const { return lowLatency_; }
  int timerMs() const { return timerMs_ > 0 && lowLatency_ ? 1 : timerMs_; }

  // A byte from the device reaches the adapter at `arrivalNs` (which may
  // lie ahead: the line time is scheduled, not slept).
  void Hold(std::uint8_t byte, std::int64_t arrivalNs);
  // True when held bytes go to the host at `nowNs`.
  bool Due(std::int64_t nowNs) const;
  // The bytes due at `nowNs`, in order.
  std::vector<std::uint8_t> Release(std::int64_t nowNs);
  // Nanoseconds until the next bytes are due; -1 when none are held.
  std::int64_t NsToDue(std::int64_t nowNs) const;

 private:
  struct Held {
    std::uint8_t byte;
    std::int64_t dueNs;
  };
  int timerMs_;
  bool lowLatency_ = false;
  std::deque<Held> held_;
  std::size_t batch_ = 0;  // bytes in the adapter's buffer that goes last
};

}  // namespace romprog::sim
