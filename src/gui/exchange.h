// One exchange with the programmer as the window program runs it: the
// protocol of ChipLink over the open port, with the windows kept busy.
#pragma once

#include <optional>

#include "core/protocol/chip_link.h"
#include "gui/app.h"

namespace romprog {

// The message for a reply that did not come (or a line that failed).
void ReportNoReply(App& app);

// While an exchange runs the program's windows take no input (no other
// command can start) but keep painting. Ends at the latest when destroyed.
class Exchange {
 public:
  explicit Exchange(App& app) : app_(app) {}
  ~Exchange() { End(); }
  Exchange(const Exchange&) = delete;
  Exchange& operator=(const Exchange&) = delete;

  // Raises RTS, takes the chip type, sends the command byte and waits for
  // its reply. false when none came; the exchange has ended then. Needs the
  // programmer's port open.
  bool Start(Direction direction);
  // Lowers RTS and gives the windows their input back; once.
  void End();

  // The running exchange, after a Start that returned true.
  ChipLink& link() { return *link_; }

 private:
  App& app_;
  std::optional<ChipLink> link_;
  bool running_ = false;
};

}  // namespace romprog
