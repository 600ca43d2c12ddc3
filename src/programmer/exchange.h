// One exchange with the programmer, from raising RTS to lowering it.
#pragma once

#include <cstdint>

#include "shell/app.h"

namespace romprog {

constexpr std::uint8_t kAcknowledge = 0xAA;
// RTS is up at least this long before the command byte goes out.
constexpr int kCommandPauseMs = 10;

enum class Direction { Reading, Writing };

// While an exchange runs the program's windows take no input (no other
// command can start) but keep painting. Ends at the latest when destroyed.
class Exchange {
 public:
  explicit Exchange(App& app) : app_(app) {}
  ~Exchange() { End(); }
  Exchange(const Exchange&) = delete;
  Exchange& operator=(const Exchange&) = delete;

  // Raises RTS, takes the chip type, sends the command byte and waits for
  // its reply. false when none came; the exchange has ended then.
  bool Start(Direction direction);
  // Lowers RTS and gives the windows their input back; once.
  void End();

 private:
  App& app_;
  bool running_ = false;
};

}  // namespace romprog
