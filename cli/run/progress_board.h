// The progress of several ports at once on stderr: one line per port, kept
// as a block at the bottom of a terminal and redrawn in place, messages
// printed above it; in a pipe, plain lines that name their port. Every
// thread writes to the terminal through it, under its lock.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/worker_threads.h"

namespace romtool {

class ProgressBoard {
 public:
  ProgressBoard(std::FILE* out, bool terminal, std::vector<std::string> names);

  bool Terminal() const { return terminal_; }
  // Port `row`'s name, as given.
  const std::string& Name(int row) const { return names_[static_cast<std::size_t>(row)]; }
  // The terminal's columns, which a line must stay within.
  int Width() const;
  // Port `row`'s progress is `text` now: on a terminal the whole line (its
  // name in it, fitted to Width()), otherwise a line that follows the name.
  void Show(int row, const std::string& text);
  // Whole lines onto `to` (stdout or stderr), above the block on a terminal.
  void Print(std::FILE* to, const std::string& text);
  // Held around anything else the ports share (the job log); Show and
  // Print may be called while it is held.
  romprog::RecursiveMutex& Lock() { return lock_; }

 private:
  void Draw();
  void Lift();  // the block off the screen, the cursor where it began

  std::FILE* out_;
  bool terminal_;
  std::vector<std::string> names_;
  std::vector<std::string> lines_;
  bool drawn_ = false;
  romprog::RecursiveMutex lock_;
};

// The columns of the terminal `stream` is (80 when it does not say).
int TerminalWidth(std::FILE* stream);

}  // namespace romtool
