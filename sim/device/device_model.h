// The programmer as the host relies on it, with a 27C-series chip in its
// socket: the model behind the emulator and the in-process test port.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/image.h"
#include "core/protocol/protocol.h"
#include "sim/device/cell_faults.h"

namespace romprog::sim {

constexpr int kChipCapacity = kBufferSize;
// What the device answers for a cell that did not take its value.
constexpr std::uint8_t kCellFailed = 0x00;

struct DeviceOptions {
  int silentFrom = -1;                       // stop answering at this data address (-1: never)
  int silentCommand = 0;                     // 1: never answer the command byte
  int writeFailAt = -1;                      // report a failed cell at this address (-1: never)
  std::optional<std::uint8_t> commandReply;  // reply to a command byte (default 0x00)
  int flakyCell = -1;   // every other read of this cell gives its low bit flipped (-1: none)
  int lateAt = -1;      // the first read of this cell is sent late (-1: none)
  FaultOptions faults;  // weak bits, a stuck data line, a dead address line
};

// What one exchange did, for the emulator's log and for tests.
struct ExchangeLog {
  std::uint8_t command = 0;
  int dataBytes = 0;     // data bytes sent (read) or received (write)
  int acknowledges = 0;  // 0xAA received (read) or sent (write)
  std::string ending;    // "complete", "rts-low", "silence", "bad-cell", "no-reply" ...
  int address = 0;       // the address in hand when the exchange ended
  int programmed = 0;    // cells whose content changed (write)
};

// Size in bytes of the chip a command byte names, 0 for an unknown command.
int ChipSizeOfCommand(std::uint8_t command);

class DeviceModel {
 public:
  DeviceModel();  // blank chip: every cell 0xFF
  explicit DeviceModel(const std::array<std::uint8_t, kChipCapacity>& chip,
                       DeviceOptions options = {});

  // RTS high announces a command; RTS low ends the exchange at any point.
  void SetRts(bool high);
  // On a line without RTS (a pty) a pause in the host's bytes ends the exchange.
  void EndOfExchange(const std::string& why);
  // One byte from the host; the device's answer bytes are appended to `out`.
  void Receive(std::uint8_t byte, std::vector<std::uint8_t>& out);

  const std::array<std::uint8_t, kChipCapacity>& chip() const;
  std::array<std::uint8_t, kChipCapacity>& chip();
  const std::vector<ExchangeLog>& exchanges() const;
  void setOptions(const DeviceOptions& options);

  // True while an exchange runs (between its command byte and its end).
  bool InExchange() const { return state_ == State::Reading || state_ == State::Writing; }
  // Bytes that arrived with no exchange to take them (RTS low, after a fault).
  int ignoredBytes() const { return ignoredBytes_; }
  // Whether the last byte the last Receive appended is the late one (once
  // per model: the first read of the cell `lateAt`); asking clears it.
  bool TakeLateByte();

 private:
  enum class State {
    Idle,      // the next byte is a command (when RTS allows)
    Reading,   // data byte `address_` sent, waiting for its acknowledge
    Writing,   // waiting for the value of cell `address_`
    Ignoring,  // the exchange is over for the device; wait for its framing to end
  };

  bool AcceptsCommand() const;
  void StartExchange(std::uint8_t command, std::vector<std::uint8_t>& out);
  void Acknowledged(std::vector<std::uint8_t>& out);
  void Program(std::uint8_t value, std::vector<std::uint8_t>& out);
  bool SilentAt(int address) const;
  // The byte a read of `address` sends: the cell, unless it is the flaky one.
  std::uint8_t ReadCell(int address);
  void Finish(const std::string& ending, State next);

  std::array<std::uint8_t, kChipCapacity> chip_;
  DeviceOptions options_;
  std::vector<ExchangeLog> exchanges_;
  ExchangeLog current_;
  State state_ = State::Idle;
  int size_ = 0;
  int address_ = 0;
  bool rtsFramed_ = false;  // the line has shown RTS once: follow it from then on
  bool rtsHigh_ = false;
  int ignoredBytes_ = 0;
  int flakyReads_ = 0;
  bool lateSent_ = false;
  bool lateByte_ = false;
  CellFaults faults_;
};

}  // namespace romprog::sim
