#include "sim/device/loopback_port.h"

#include <algorithm>
#include <utility>

namespace romprog::sim {

class LoopbackPorts::Port : public SerialPort {
 public:
  explicit Port(LoopbackPorts& owner) : owner_(owner) {}
  ~Port() override { owner_.PortClosed(this); }
  Port(const Port&) = delete;
  Port& operator=(const Port&) = delete;

  PortResult SetRts(bool on) override {
    owner_.PortSetRts(on);
    return {};
  }
  PortResult SendByte(std::uint8_t byte) override {
    if (owner_.PortSend(byte)) return {};
    return {PortStatus::Failed, "the write failed"};
  }
  PortResult ReadByte(std::uint8_t& byte, int timeoutMs) override {
    if (owner_.PortRead(byte, timeoutMs)) return {};
    return {PortStatus::TimedOut, {}};
  }
  PortResult DiscardInput() override {
    owner_.PortDiscard();
    return {};
  }

 private:
  LoopbackPorts& owner_;
};

LoopbackPorts::LoopbackPorts(std::vector<std::string> names, DeviceModel device)
    : names_(names.begin(), names.end()), device_(std::move(device)) {}

LoopbackPorts::~LoopbackPorts() = default;

OpenedPort LoopbackPorts::Open(const LineSettings& settings) {
  const std::string& name = settings.device;
  if (names_.count(name) == 0) {
    ++counters_.failedOpens;
    return {nullptr, {PortStatus::NoDevice, "no such port"}};
  }
  // Ports are opened without sharing: a second open of the line fails.
  if (held_.count(name) != 0 || open_ != nullptr) {
    ++counters_.failedOpens;
    return {nullptr, {PortStatus::Busy, "the port is in use"}};
  }
  ++counters_.opens;
  opened_.push_back(SettingsText(settings));
  auto port = std::make_unique<Port>(*this);
  open_ = port.get();
  return {std::move(port), {}};
}

void LoopbackPorts::Pause(int milliseconds) {
  now_ += static_cast<std::uint64_t>(std::max(milliseconds, 0));
}

std::uint32_t LoopbackPorts::TickCount() {
  return static_cast<std::uint32_t>(tickBase_ + static_cast<std::uint32_t>(now_));
}

void LoopbackPorts::SetHeldByOther(const std::string& name, bool held) {
  if (held) {
    held_.insert(name);
  } else {
    held_.erase(name);
  }
}

void LoopbackPorts::SetTickCount(std::uint32_t ticks) {
  tickBase_ = ticks - static_cast<std::uint32_t>(now_);
}

void LoopbackPorts::PortSetRts(bool on) {
  if (on != rts_) {
    ++counters_.rtsChanges;
    ++(on ? counters_.rtsRaises : counters_.rtsLowers);
    if (on) rtsRoseAt_ = now_;
    awaitingCommand_ = on;
  }
  rts_ = on;
  device_.SetRts(on);
}

bool LoopbackPorts::PortSend(std::uint8_t byte) {
  ++counters_.bytesToDevice;
  if (!rts_) ++counters_.bytesWhileRtsLow;
  if (sendFails_) return false;
  if (awaitingCommand_) {
    awaitingCommand_ = false;
    counters_.lastCommandDelayMs = static_cast<int>(now_ - rtsRoseAt_);
    if (counters_.lastCommandDelayMs < minCommandDelayMs_) {
      // The device is not ready yet and never sees the byte.
      ++counters_.earlyCommands;
      return true;
    }
  }
  std::vector<std::uint8_t> answer;
  device_.Receive(byte, answer);
  for (std::uint8_t b : answer) {
    replies_.push_back({now_ + static_cast<std::uint64_t>(std::max(replyDelayMs_, 0)), b});
  }
  return true;
}

bool LoopbackPorts::PortRead(std::uint8_t& byte, int timeoutMs) {
  // A zero wait still costs a tick, so a host polling in a loop sees time pass.
  const std::uint64_t wait = static_cast<std::uint64_t>(std::max(timeoutMs, 1));
  if (!replies_.empty() && replies_.front().readyAt <= now_ + wait) {
    now_ = std::max(now_, replies_.front().readyAt);
    byte = replies_.front().byte;
    replies_.pop_front();
    ++counters_.bytesFromDevice;
    return true;
  }
  now_ += wait;
  return false;
}

// Answers still on their way stay: they arrive after the discard.
void LoopbackPorts::PortDiscard() {
  while (!replies_.empty() && replies_.front().readyAt <= now_) replies_.pop_front();
}

void LoopbackPorts::PortClosed(const Port* port) {
  if (port != open_) return;
  open_ = nullptr;
  ++counters_.closes;
  // Closing drops RTS; unread answers stay in the line's queue, as a tty
  // keeps them for the next open.
  if (rts_) {
    ++counters_.closesWithRtsHigh;
    PortSetRts(false);
  }
}

}  // namespace romprog::sim
