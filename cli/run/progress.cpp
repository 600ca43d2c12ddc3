#include "cli/run/progress.h"

namespace romtool {
namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

double Since(Progress::Clock::time_point start) {
  return std::chrono::duration<double>(Progress::Clock::now() - start).count();
}

}  // namespace

Progress::Progress(std::FILE* out, bool terminal, int steps, int cells)
    : out_(out), terminal_(terminal), steps_(steps), cells_(cells) {}

void Progress::Begin(const std::string& step) {
  step_ = step;
  ++stepNo_;
  stepStart_ = Clock::now();
  nextDraw_ = stepStart_;
  firstDone_ = -1;
  if (terminal_) Draw(0);
}

JobFigures Progress::Figures(int done) const {
  const bool timed = firstDone_ >= 0;
  return FiguresOf(step_, stepNo_, steps_, done, cells_,
                   cellsBefore_ + (timed ? done - firstDone_ : 0),
                   secondsBefore_ + (timed ? Since(firstCell_) : 0.0));
}

void Progress::Update(int done) {
  if (firstDone_ < 0) {
    firstDone_ = done;
    firstCell_ = Clock::now();
  }
  if (!terminal_) return;
  const Clock::time_point now = Clock::now();
  if (now < nextDraw_) return;
  nextDraw_ = now + kRedrawInterval;
  Draw(done);
}

void Progress::End(int done) {
  const double seconds = Since(stepStart_);
  const JobFigures figures = Figures(done);
  if (terminal_) {
    Draw(done);
    // One port: the line goes, so what the step has to say stands on its own
    // line; the next step draws it again.
    if (!board_) Clear();
  } else {
    const std::string line = StepLine(figures, seconds);
    if (board_) {
      board_->Show(row_, line);
    } else {
      std::fprintf(out_, "%s\n", line.c_str());
      std::fflush(out_);
    }
  }
  if (firstDone_ >= 0) {
    cellsBefore_ += done - firstDone_;
    secondsBefore_ += Since(firstCell_);
  }
}

void Progress::Draw(int done) {
  if (board_) {
    board_->Show(row_, FitLine(board_->Name(row_), Figures(done), board_->Width()));
    return;
  }
  const std::string line = FitLine("", Figures(done), TerminalWidth(out_));
  // Spaces over what is left of a longer line: no escape a console may lack.
  const std::size_t pad = shown_ > line.size() ? shown_ - line.size() : 0;
  std::fprintf(out_, "\r%s%s", line.c_str(), std::string(pad, ' ').c_str());
  if (pad > 0) std::fprintf(out_, "\r%s", line.c_str());
  std::fflush(out_);
  shown_ = line.size();
}

void Progress::Clear() {
  if (shown_ == 0) return;
  std::fprintf(out_, "\r%s\r", std::string(shown_, ' ').c_str());
  std::fflush(out_);
  shown_ = 0;
}

}  // namespace romtool
