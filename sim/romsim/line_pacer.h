// Makes a fast line (a pty) take the time a real one at a given baud rate
// takes: 10 bit times for every byte in either direction.
#pragma once

#include <cstdint>

namespace romprog::sim {

class LinePacer {
 public:
  explicit LinePacer(int baud);  // 0: no pacing
  // A byte from the host has started to arrive: wait until it would be in.
  void Received();
  // The device is about to send a byte: wait until it would have arrived.
  void Sending();
  // The same line time taken without waiting: when the byte is done.
  std::int64_t Schedule();

 private:
  void AdvanceAndSleep();

  std::int64_t byteNs_;
  std::int64_t lineFreeNs_ = 0;  // MonotonicNs() when the last byte is done
};

}  // namespace romprog::sim
