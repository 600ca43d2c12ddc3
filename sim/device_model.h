// The programmer as the host relies on it, with a 27C-series chip in its
// socket: the model behind the emulator and the in-process test port.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace romprog::sim {

constexpr int kChipCapacity = 32768;

struct DeviceOptions {
  int silentFrom = -1;         // stop answering at this data address (-1: never)
  int silentCommand = 0;       // 1: never answer the command byte
  int writeFailAt = -1;        // report a failed cell at this address (-1: never)
  std::optional<std::uint8_t> commandReply;  // reply to a command byte (default 0x00)
};

// What one exchange did, for the emulator's log and for tests.
struct ExchangeLog {
  std::uint8_t command = 0;
  int dataBytes = 0;      // data bytes sent (read) or received (write)
  int acknowledges = 0;   // 0xAA received (read) or sent (write)
  std::string ending;     // "complete", "rts-low", "silence", "bad-cell", "no-reply" ...
};

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
};

}  // namespace romprog::sim
