// A programmer on a line with a virtual clock, for the tests of the host side
// of the link: it answers as the programmer does, can be made to fail in the
// ways the host must survive, and records every host action with its time.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/protocol/serial_port.h"

namespace romprog::testing {

class FakeLine : public PortOpener, public Clock {
 public:
  FakeLine();

  // --- the machine and the programmer ------------------------------------
  std::set<std::string> present{"COM1"};  // device names that open
  std::set<std::string> held;             // present, but held by another program
  std::array<std::uint8_t, 32768> chip;   // erased (0xFF) at first
  std::uint8_t commandReply = 0x00;
  bool silentCommand = false;  // never answers a command byte
  int silentFrom = -1;         // sends or answers nothing from this address on
  int writeFailAt = -1;        // answers failReply instead of programming this cell
  std::uint8_t failReply = 0x00;
  std::uint32_t replyDelayMs = 0;  // each of its bytes arrives this long after the cause

  // --- the clock -----------------------------------------------------------
  std::uint32_t now = 0;
  int readSliceMs = 110;  // longest a read blocks, as the driver time-outs allow

  // --- what the host did -----------------------------------------------------
  std::vector<std::string> openedSettings;
  int openNow = 0;
  int mostOpenAtOnce = 0;
  bool rts = false;
  std::vector<bool> rtsCalls;
  std::uint32_t rtsRaisedAt = 0;
  std::uint32_t commandAt = 0;
  std::vector<std::uint8_t> hostBytes;      // every byte the host sent
  std::vector<std::uint8_t> exchangeBytes;  // from the last command byte on
  int readSlices = 0;                       // reads that found nothing
  std::vector<int> pauses;
  std::function<void(std::uint8_t)> onHostByte;  // after a host byte is recorded

  OpenedPort Open(const LineSettings& settings) override;
  void Pause(int milliseconds) override;
  std::uint32_t TickCount() override { return now; }

  // Puts a byte on the line towards the host, arriving at `at`.
  void Deliver(std::uint8_t byte, std::uint32_t at) { toHost_.push_back({at, byte}); }

  // The port side.
  void HostRts(bool on);
  void HostByte(std::uint8_t byte);
  bool HostRead(std::uint8_t& byte, int timeoutMs);
  void HostDiscard();  // drops the bytes that have arrived
  void HostClose();

  // How often the host sent `value` after the last command byte.
  int Count(std::uint8_t value) const;

 private:
  enum class Phase { Idle, Command, Reading, Writing };
  void Answer(std::uint8_t byte);
  void Command(std::uint8_t byte);
  void NextCell(std::uint8_t byte);

  Phase phase_ = Phase::Idle;
  int size_ = 0;
  int address_ = 0;
  struct Pending {
    std::uint32_t at;
    std::uint8_t byte;
  };
  std::deque<Pending> toHost_;
};

}  // namespace romprog::testing
