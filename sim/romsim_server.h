// The emulator's loop: bytes from the line into the device model, its
// answers back, exchanges framed by CTS or by the host's silence.
#pragma once

#include <vector>

#include "sim/device_model.h"
#include "sim/exchange_recorder.h"
#include "sim/line_pacer.h"
#include "sim/romsim_options.h"

namespace romprog::sim {

class RomsimServer {
 public:
  // `lineFd` carries the bytes; a readable `stopFd` ends the run. `hostFd`
  // (or -1) is the host's end of the line, emptied when the host falls silent.
  RomsimServer(DeviceModel& model, ExchangeRecorder& recorder, const RomsimOptions& options,
               int lineFd, int hostFd, int stopFd);
  int Run();  // the exit status

 private:
  void EndBySilence();
  int PollTimeout() const;
  bool TakeBytes();
  bool Answer(const std::vector<std::uint8_t>& bytes);
  bool SampleCts();
  int Stop(int status);

  DeviceModel& model_;
  ExchangeRecorder& recorder_;
  LinePacer pacer_;
  int line_;
  int host_;
  int stop_;
  int silenceMs_;
  bool followCts_;
  bool paced_;
  bool awaitingSilence_ = false;  // bytes came since the last end of an exchange
  bool cts_ = false;
};

}  // namespace romprog::sim
