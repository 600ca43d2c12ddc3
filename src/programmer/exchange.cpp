#include "programmer/exchange.h"

#include "buffer/chip_types.h"
#include "programmer/serial_line.h"

namespace romprog {

bool Exchange::Start(Direction direction) {
  app_.ui.BeginBusy();
  running_ = true;
  SetRts(app_, true);
  ApplyChipType(app_);
  Pause(app_, kCommandPauseMs);
  const std::uint8_t command = direction == Direction::Writing
                                   ? static_cast<std::uint8_t>(app_.state.ChipCode + 1)
                                   : app_.state.ChipCode;
  SendByte(app_, command);
  WaitForReply(app_);
  if (app_.state.NoReply) {
    End();
    return false;
  }
  return true;
}

void Exchange::End() {
  if (!running_) return;
  running_ = false;
  SetRts(app_, false);
  app_.ui.EndBusy();
}

}  // namespace romprog
