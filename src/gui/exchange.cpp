#include "gui/exchange.h"

#include "gui/chip_selector.h"
#include "gui/texts.h"
#include "gui/win_constants.h"

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

void ReportNoReply(App& app) {
  app.ui.MessageBox("", text::kNoReply, win::kMbOk | win::kMbIconExclamation);
}

bool Exchange::Start(Direction direction) {
  app_.ui.BeginBusy();
  running_ = true;
  link_.emplace(*app_.state.programmerPort, app_.clock);
  CommandObserver observer(app_);
  const auto takeChip = [this] {
    ApplyChipType(app_);
    return ChipSelection{app_.state.chipCode, app_.state.activeSize};
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
