#include "cli/progress.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cmath>

namespace romtool {
namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr int kBarWidth = 30;
constexpr int kLines = 10;

std::string Format(const char* format, double a, double b = 0) {
  char text[64];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

std::string Rate(double perSecond) {
  return std::isfinite(perSecond) ? Format("%.0f B/s", perSecond) : "? B/s";
}

struct Figures {
  int percent;
  double rate;  // cells per second
  double left;  // seconds
};

Figures FiguresOf(int done, int total, double elapsed) {
  Figures f{};
  f.percent = total > 0 ? static_cast<int>(100LL * done / total) : 100;
  // Too early for a rate that means anything, unless the work is done.
  const bool measured = elapsed > 0 && (elapsed >= 0.25 || done == total);
  f.rate = measured ? done / elapsed : NAN;
  f.left = done == total ? 0 : f.rate > 0 ? (total - done) / f.rate : NAN;
  return f;
}

}  // namespace

std::string Duration(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) return "?";
  const long whole = std::lround(seconds);
  return Format("%.0f:%02.0f", static_cast<double>(whole / 60), static_cast<double>(whole % 60));
}

Progress::Progress(std::FILE* out, bool terminal, std::string label, int total)
    : out_(out),
      terminal_(terminal),
      label_(std::move(label)),
      total_(total),
      start_(Clock::now()),
      nextDraw_(start_),
      nextLine_((total + kLines - 1) / kLines) {}

std::string Progress::BarText(const std::string& label, int done, int total, double elapsed) {
  const Figures f = FiguresOf(done, total, elapsed);
  const int filled =
      total > 0 ? static_cast<int>(static_cast<long long>(kBarWidth) * done / total) : kBarWidth;
  return label + " [" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] " +
         Format("%3.0f%% ", f.percent) + std::to_string(done) + "/" + std::to_string(total) + "  " +
         Rate(f.rate) + "  " + Duration(f.left) + " left";
}

std::string Progress::LineText(const std::string& label, int done, int total, double elapsed) {
  const Figures f = FiguresOf(done, total, elapsed);
  return label + ": " + std::to_string(done) + "/" + std::to_string(total) + " bytes" +
         Format(" (%.0f%%), ", f.percent) + Rate(f.rate) + ", " + Duration(f.left) + " left";
}

void Progress::Update(int done) {
  if (terminal_) {
    const Clock::time_point now = Clock::now();
    if (now < nextDraw_) return;
    nextDraw_ = now + kRedrawInterval;
  } else if (done < nextLine_) {
    return;
  }
  Draw(done);
}

void Progress::Finish(int done) {
  if (drawn_ != done) Draw(done);
  if (board_) return;
  if (terminal_) std::fputc('\n', out_);
  std::fflush(out_);
}

void Progress::Draw(int done) {
  const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
  if (board_) {
    board_->Show(row_, terminal_ ? BarText(label_, done, total_, elapsed)
                                 : LineText(label_, done, total_, elapsed));
    if (!terminal_) nextLine_ = done + (total_ + kLines - 1) / kLines;
  } else if (terminal_) {
    std::fprintf(out_, "\r%s ", BarText(label_, done, total_, elapsed).c_str());
  } else {
    std::fprintf(out_, "%s\n", LineText(label_, done, total_, elapsed).c_str());
    nextLine_ = done + (total_ + kLines - 1) / kLines;
  }
  std::fflush(out_);
  drawn_ = done;
}

bool MovesCursor(std::FILE* stream) {
#ifdef _WIN32
  HANDLE console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  return GetConsoleMode(console, &mode) &&
         SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
#else
  (void)stream;
  return true;
#endif
}

bool IsTerminal(std::FILE* stream) {
#ifdef _WIN32
  return _isatty(_fileno(stream)) != 0;
#else
  return isatty(fileno(stream)) != 0;
#endif
}

}  // namespace romtool
