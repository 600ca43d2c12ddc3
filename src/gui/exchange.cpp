#include "gui/exchange.h"

#include "gui/chip_selector.h"
#include "gui/serial_line.h"

namespace romprog {
namespace {

// Until the command reply the windows only keep painting.
class CommandObserver : public LinkObserver {
 public:
  explicit CommandObserver(App& app) : app_(app) {}
  void Waiting() override { app_.ui.KeepAlive(); }
  void NoReply() override { ReportNoReply(app_); }

 private:
  App& app_;
};

}  // namespace

bool Exchange::Start(Direction direction) {
  app_.ui.BeginBusy();
  running_ = true;
  link_.emplace(*app_.state.ProgrammerPort, app_.clock);
  CommandObserver observer(app_);
  app_.state.NoReply = 0;
  const auto takeChip = [this] {
    ApplyChipType(app_);
    return ChipSelection{app_.state.ChipCode, app_.state.activeSize};
  };
  if (link_->Start(direction, takeChip, observer)) return true;
  End();
  return false;
}

void Exchange::End() {
  if (!running_) return;
  running_ = false;
  link_->End();
  app_.ui.EndBusy();
}

}  // namespace romprog
