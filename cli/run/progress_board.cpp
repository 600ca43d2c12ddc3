#include "cli/run/progress_board.h"

#include <cstdlib>

#include "cli/run/progress_line.h"
#include "platform/console.h"

namespace romtool {
namespace {

constexpr int kDefaultWidth = 80;

}  // namespace

ProgressBoard::ProgressBoard(std::FILE* out, bool terminal, std::vector<std::string> names)
    : out_(out), terminal_(terminal), names_(std::move(names)), lines_(names_.size()) {}

void ProgressBoard::Show(int row, const std::string& text) {
  const romprog::Holding hold(lock_);
  lines_[static_cast<std::size_t>(row)] = text;
  if (terminal_) {
    Draw();
  } else {
    std::fprintf(out_, "%s: %s\n", names_[static_cast<std::size_t>(row)].c_str(), text.c_str());
    std::fflush(out_);
  }
}

int ProgressBoard::Width() const {
  return TerminalWidth(out_);
}

void ProgressBoard::Print(std::FILE* to, const std::string& text) {
  const romprog::Holding hold(lock_);
  if (terminal_) Lift();
  std::fputs(text.c_str(), to);
  std::fflush(to);
  if (terminal_) Draw();
}

void ProgressBoard::Draw() {
  Lift();
  for (std::size_t row = 0; row < lines_.size(); ++row) {
    const std::string line = lines_[row].empty() ? WaitingLine(names_[row], Width()) : lines_[row];
    std::fprintf(out_, "%s\x1b[K\n", line.c_str());
  }
  std::fflush(out_);
  drawn_ = true;
}

void ProgressBoard::Lift() {
  if (drawn_) std::fprintf(out_, "\x1b[%zuA\r\x1b[J", lines_.size());
  drawn_ = false;
}

int TerminalWidth(std::FILE* stream) {
  const int columns = romprog::ConsoleColumns(stream);
  if (columns > 0) return columns;
  const char* named = std::getenv("COLUMNS");
  const int given = named ? std::atoi(named) : 0;
  return given > 0 ? given : kDefaultWidth;
}

}  // namespace romtool
