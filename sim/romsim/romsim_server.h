// The emulator's loop: bytes from the line into the device model, its
// answers back through the adapter's latency timer, exchanges framed by the
// host's RTS (CTS of a device, or the modem-lines library on a pty) or, on a
// pty without the library, by the host's silence.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/device/device_model.h"
#include "sim/romsim/adapter_latency.h"
#include "sim/romsim/exchange_recorder.h"
#include "sim/romsim/line_pacer.h"
#include "sim/romsim/modem_lines_socket.h"
#include "sim/romsim/romsim_options.h"

namespace romprog::sim {

class RomsimServer {
 public:
  // `lineFd` carries the bytes; a readable `stopFd` ends the run. `lines`
  // (or null) brings the host's modem-line requests. What the host leaves
  // unread stays in its queue, as on a real line.
  RomsimServer(DeviceModel& model, ExchangeRecorder& recorder, const RomsimOptions& options,
               int lineFd, int stopFd, ModemLinesSocket* lines = nullptr);
  int Run();  // the exit status

 private:
  void EndBySilence();
  int PollTimeoutMs() const;
  bool TakeBytes();
  void TakeWaitingBytes();
  bool PassesRts();
  bool Answer(const std::vector<std::uint8_t>& bytes);
  bool Deliver(const std::vector<std::uint8_t>& bytes);
  bool DeliverDue();
  bool DeliverLate();
  bool ServeModemRequest();
  std::uint32_t ChangeModemLines(std::uint32_t bits);
  void SetRtsLine(bool high);
  void Note(const std::string& what);
  bool SampleCts();
  int Stop(int status);

  DeviceModel& model_;
  ExchangeRecorder& recorder_;
  LinePacer pacer_;
  AdapterLatency latency_;
  ModemLinesSocket* lines_;
  int line_;
  int stop_;
  int silenceMs_;
  bool followCts_;
  bool paced_;
  bool awaitingSilence_ = false;  // bytes came since the last end of an exchange
  bool cts_ = false;
  bool rtsFramed_ = false;       // the host's RTS reaches us: it frames the exchanges
  std::uint32_t modemBits_ = 0;  // the host's RTS and DTR (TIOCM_* bits)
  std::int64_t rtsRaisedNs_ = 0;
  std::int64_t lastByteNs_ = 0;
  std::int64_t startNs_;
  int strayBytes_ = 0;  // bytes of the current batch no exchange took
  int lateMs_;
  std::vector<std::uint8_t> late_;  // the late byte, held until lateDueNs_
  std::int64_t lateDueNs_ = 0;
};

}  // namespace romprog::sim
