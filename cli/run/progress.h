// Progress of a chip job on stderr, one line for the whole job: its step
// (check 1/3, write 2/3, verify 3/3), percent and the time the job has left.
// On a terminal the line fits the width and is redrawn in place; otherwise
// a line at the end of each step, so logs stay short.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "cli/run/progress_board.h"
#include "cli/run/progress_line.h"

namespace romtool {

class Progress {
 public:
  using Clock = std::chrono::steady_clock;

  // A job of `steps` exchanges of `cells` cells each.
  Progress(std::FILE* out, bool terminal, int steps, int cells);
  // Shown as line `row` of `board` instead of on its own.
  void ShowOn(ProgressBoard* board, int row) {
    board_ = board;
    row_ = row;
  }
  // The next step, named `step`; a job may take more steps than it planned
  // (a second read-back after a difference).
  void Begin(const std::string& step);
  // `done` cells of the step have passed. Cheap when nothing is to be
  // drawn: it runs once per cell.
  void Update(int done);
  // The step ended with `done` cells passed.
  void End(int done);

 private:
  JobFigures Figures(int done) const;
  void Draw(int done);
  void Clear();

  std::FILE* out_;
  bool terminal_;
  int steps_;
  int cells_;
  ProgressBoard* board_ = nullptr;
  int row_ = 0;
  std::string step_;
  int stepNo_ = 0;
  int cellsBefore_ = 0;       // passed in the steps before this one
  double secondsBefore_ = 0;  // spent in them
  Clock::time_point stepStart_;
  // The rate is timed from the step's first cell on: the command byte's
  // round trip and the port's setup before it say nothing of the line.
  Clock::time_point firstCell_;
  int firstDone_ = -1;
  Clock::time_point nextDraw_;
  std::size_t shown_ = 0;  // characters of the line on show (one port on a terminal)
};

}  // namespace romtool
