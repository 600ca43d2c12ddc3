#include "gui/cell_display.h"

#include "gui/control_ids.h"
#include "gui/status_line.h"

namespace romprog {

CellDisplay::CellDisplay(App& app)
    : app_(app), shownAt_(app.clock.TickCount() - kCellDisplayIntervalMs) {}

void CellDisplay::Passed(int address, const Text& value) {
  address_ = address;
  value_ = value;
  pending_ = true;
  if (app_.clock.TickCount() - shownAt_ >= kCellDisplayIntervalMs) Show();
}

void CellDisplay::Flush() {
  if (pending_) Show();
}

void CellDisplay::Show() {
  ShowCell(app_, address_, value_);
  const int progress = ProgressValue(address_, app_.state.activeSize);
  if (progress != shownProgress_) {
    app_.ui.SetState(id::kProgress, progress);
    shownProgress_ = progress;
  }
  pending_ = false;
  shownAt_ = app_.clock.TickCount();
}

}  // namespace romprog
