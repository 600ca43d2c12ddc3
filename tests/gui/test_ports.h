// The programmer's device model behind the serial interface, as the commands'
// tests use it: the in-process loopback line on its virtual clock, with every
// RTS change and byte of the host noted on the way.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/protocol/serial_port.h"
#include "sim/device/loopback_port.h"

namespace romprog::testing {

class RecordingPorts : public PortOpener, public Clock {
 public:
  explicit RecordingPorts(std::vector<std::string> names) : line(std::move(names)) {}

  sim::LoopbackPorts line;
  std::vector<bool> rtsCalls;
  std::vector<std::uint8_t> sent;
  std::function<void(std::uint8_t)> onSend;  // after the byte reached the line

  sim::DeviceModel& device() { return line.device(); }
  std::array<std::uint8_t, sim::kChipCapacity>& chip() { return line.device().chip(); }
  const sim::ExchangeLog& last() { return line.device().exchanges().back(); }

  OpenedPort Open(const LineSettings& settings) override {
    OpenedPort opened = line.Open(settings);
    if (opened.port) opened.port = std::make_unique<Port>(*this, std::move(opened.port));
    return opened;
  }
  void Pause(int milliseconds) override { line.Pause(milliseconds); }
  std::uint32_t TickCount() override { return line.TickCount(); }

 private:
  class Port : public SerialPort {
   public:
    Port(RecordingPorts& owner, std::unique_ptr<SerialPort> port)
        : owner_(owner), port_(std::move(port)) {}
    PortResult SetRts(bool on) override {
      owner_.rtsCalls.push_back(on);
      return port_->SetRts(on);
    }
    PortResult SendByte(std::uint8_t byte) override {
      PortResult sent = port_->SendByte(byte);
      owner_.sent.push_back(byte);
      if (owner_.onSend) owner_.onSend(byte);
      return sent;
    }
    PortResult ReadByte(std::uint8_t& byte, int timeoutMs) override {
      return port_->ReadByte(byte, timeoutMs);
    }
    PortResult DiscardInput() override { return port_->DiscardInput(); }

   private:
    RecordingPorts& owner_;
    std::unique_ptr<SerialPort> port_;
  };
};

}  // namespace romprog::testing
