// Serial ports wired to a device model in the same process, on a virtual
// clock, so tests run the real protocol code without hardware and without
// waiting out real time-outs.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/protocol/serial_port.h"
#include "sim/device/device_model.h"

namespace romprog::sim {

// What the host did on the line, for tests to check.
struct LoopbackCounters {
  int opens = 0;        // successful opens
  int failedOpens = 0;  // names not wired, held, or already open
  int closes = 0;
  int closesWithRtsHigh = 0;
  long bytesToDevice = 0;    // every byte the host sent, the early and RTS-low ones too
  long bytesFromDevice = 0;  // bytes the host read
  int rtsChanges = 0;        // level changes only
  int rtsRaises = 0;
  int rtsLowers = 0;
  long bytesWhileRtsLow = 0;    // a host sends nothing between exchanges
  int earlyCommands = 0;        // command bytes sent too soon after RTS rose (missed)
  int lastCommandDelayMs = -1;  // virtual ms from RTS rising to the last command byte
};

class LoopbackPorts : public PortOpener, public Clock {
 public:
  // `names` are the ports that exist ("COM1", "COM3" ...); all lead to `device`.
  explicit LoopbackPorts(std::vector<std::string> names, DeviceModel device = DeviceModel());
  ~LoopbackPorts() override;
  LoopbackPorts(const LoopbackPorts&) = delete;
  LoopbackPorts& operator=(const LoopbackPorts&) = delete;

  // Ports handed out must be closed (destroyed) before this object goes.
  OpenedPort Open(const LineSettings& settings) override;
  void Pause(int milliseconds) override;
  std::uint32_t TickCount() override;

  DeviceModel& device() { return device_; }
  const LoopbackCounters& counters() const { return counters_; }
  // The settings of every successful open as text ("COM1:9600,N,8,1"), in order.
  const std::vector<std::string>& openedSettings() const { return opened_; }
  bool portOpen() const { return open_ != nullptr; }
  bool rts() const { return rts_; }
  // Bytes the device has sent that the host has not read yet.
  std::size_t pendingReplies() const { return replies_.size(); }
  std::uint64_t elapsedMs() const { return now_; }  // virtual time since construction

  // Another program holds the port: it exists but will not open.
  void SetHeldByOther(const std::string& name, bool held);
  void SetTickCount(std::uint32_t ticks);  // e.g. just before the counter wraps
  // Each answer byte becomes readable this long after the host's byte (default 0).
  void SetReplyDelay(int milliseconds) { replyDelayMs_ = milliseconds; }
  // The device misses a command that follows RTS sooner than this (default 10 ms).
  void SetMinCommandDelay(int milliseconds) { minCommandDelayMs_ = milliseconds; }
  // Writes fail: the byte never reaches the device and SendByte says so.
  void SetSendFails(bool fails) { sendFails_ = fails; }

 private:
  class Port;
  friend class Port;

  struct Reply {
    std::uint64_t readyAt;
    std::uint8_t byte;
  };

  void PortSetRts(bool on);
  bool PortSend(std::uint8_t byte);
  bool PortRead(std::uint8_t& byte, int timeoutMs);
  void PortDiscard();
  void PortClosed(const Port* port);

  std::set<std::string> names_;
  std::set<std::string> held_;
  DeviceModel device_;
  LoopbackCounters counters_;
  std::vector<std::string> opened_;
  std::deque<Reply> replies_;
  const Port* open_ = nullptr;
  std::uint64_t now_ = 0;
  std::uint32_t tickBase_ = 0;
  std::uint64_t rtsRoseAt_ = 0;
  bool rts_ = false;
  bool awaitingCommand_ = false;
  bool sendFails_ = false;
  int replyDelayMs_ = 0;
  int minCommandDelayMs_ = 10;
};

}  // namespace romprog::sim
