// The status line during a transfer. Writing the two status texts costs far
// more than a byte on the line, and nobody sees more than one value per
// repaint, so the passing cells are put on screen at the pace the windows
// repaint at. The newest cell is always on screen before the transfer waits
// for the programmer, reports a bad cell or ends.
#pragma once

#include <cstdint>

#include "gui/app.h"

namespace romprog {

// About one repaint of the windows while a command runs.
constexpr std::uint32_t kCellDisplayIntervalMs = 15;

class CellDisplay {
 public:
  explicit CellDisplay(App& app);

  // A cell went by: on screen now when the last update is an interval ago.
  void Passed(int address, const Text& value);
  // The newest cell, if not on screen yet.
  void Flush();

 private:
  void Show();

  App& app_;
  int address_ = -1;
  Text value_;
  bool pending_ = false;
  int shownProgress_ = -1;
  std::uint32_t shownAt_ = 0;
};

}  // namespace romprog
