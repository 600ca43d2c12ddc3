// Progress of a chip operation on stderr: a bar with rate and time left,
// redrawn in place, when stderr is a terminal; a plain line every tenth of
// the way otherwise, so logs stay readable.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "cli/progress_board.h"

namespace romtool {

class Progress {
 public:
  using Clock = std::chrono::steady_clock;

  Progress(std::FILE* out, bool terminal, std::string label, int total);
  // `done` cells of `total` have passed. Cheap when nothing is to be drawn:
  // it runs once per cell.
  void Update(int done);
  // Draws `done` if it is not on show yet; a line end after a bar.
  void Finish(int done);
  // Shown as line `row` of `board` instead of on its own.
  void ShowOn(ProgressBoard* board, int row) {
    board_ = board;
    row_ = row;
  }

  // The bar's text for `done` cells after `elapsed` seconds (for tests too).
  static std::string BarText(const std::string& label, int done, int total, double elapsed);
  static std::string LineText(const std::string& label, int done, int total, double elapsed);

 private:
  void Draw(int done);

  std::FILE* out_;
  bool terminal_;
  std::string label_;
  int total_;
  Clock::time_point start_;
  Clock::time_point nextDraw_;
  int nextLine_ = 0;  // cells at which the next plain line is due
  int drawn_ = -1;
  ProgressBoard* board_ = nullptr;
  int row_ = 0;
};

bool IsTerminal(std::FILE* stream);
// Whether the terminal `stream` is takes the escapes that move the cursor
// up a line (a Windows console only once asked to).
bool MovesCursor(std::FILE* stream);

// How romtool writes a time: "1:07" for 67 seconds; "?" for one not known
// (not finite, or below 0).
std::string Duration(double seconds);

}  // namespace romtool
