#include "cli/run/progress_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace romtool {
namespace {

constexpr int kWidestBar = 30;
constexpr int kNarrowestBar = 10;
constexpr int kShortestName = 6;
// Too early for a rate that means anything, unless the step is done: a
// second of cells evens out the hiccups of a busy machine.
constexpr double kFirstRateSeconds = 1.0;

std::string Format(const char* format, double a, double b = 0) {
  char text[64];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

std::string Rate(double perSecond) {
  return std::isfinite(perSecond) ? Format("%.0f B/s", perSecond) : "? B/s";
}

std::string StepName(const JobFigures& f) {
  return f.step + " " + std::to_string(f.stepNo) + "/" + std::to_string(f.steps);
}

std::string Bar(const JobFigures& f, int width) {
  const int filled =
      f.total > 0 ? static_cast<int>(static_cast<long long>(width) * f.done / f.total) : width;
  return "[" + std::string(static_cast<std::size_t>(filled), '#') +
         std::string(static_cast<std::size_t>(width - filled), '.') + "]";
}

// A port's name cut to `room` characters: "/dev/" goes first, then the
// folders, then its start (its end tells adapters apart: a by-id name's
// serial, ttyUSB1).
std::string ShortName(std::string name, std::size_t room) {
  if (name.size() > room && name.rfind("/dev/", 0) == 0) name.erase(0, 5);
  if (name.size() > room && name.find_last_of("/\\") != std::string::npos) {
    name.erase(0, name.find_last_of("/\\") + 1);
  }
  if (name.size() > room && room >= 2) name = "~" + name.substr(name.size() - (room - 1));
  return name;
}

// The fields after the name: the step, the bar (of `bar` cells, 0 for none),
// the percent, the cells, the rate and the time left.
std::string Fields(const JobFigures& f, int bar, bool cells, bool rate) {
  std::string text = StepName(f) + " ";
  if (bar > 0) text += Bar(f, bar) + " ";
  text += Format("%3.0f%%", f.percent);
  if (cells) text += "  " + std::to_string(f.done) + "/" + std::to_string(f.total);
  if (rate) text += "  " + Rate(f.rate);
  return text + "  " + Duration(f.left) + " left";
}

}  // namespace

std::string Duration(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) return "?";
  const long whole = std::lround(seconds);
  return Format("%.0f:%02.0f", static_cast<double>(whole / 60), static_cast<double>(whole % 60));
}

JobFigures FiguresOf(const std::string& step, int stepNo, int steps, int done, int total, int cells,
                     double seconds) {
  JobFigures f;
  f.step = step;
  f.stepNo = stepNo;
  f.steps = std::max(steps, stepNo);
  f.done = done;
  f.total = total;
  const long long jobTotal = static_cast<long long>(f.steps) * total;
  const long long jobDone = static_cast<long long>(stepNo - 1) * total + done;
  f.percent = jobTotal > 0 ? static_cast<int>(100 * jobDone / jobTotal) : 100;
  const bool measured = seconds > 0 && (seconds >= kFirstRateSeconds || done == total);
  f.rate = measured ? cells / seconds : NAN;
  f.left = jobDone >= jobTotal ? 0
           : f.rate > 0        ? static_cast<double>(jobTotal - jobDone) / f.rate
                               : NAN;
  return f;
}

std::string FitLine(const std::string& fullName, const JobFigures& f, int width) {
  const std::size_t room = static_cast<std::size_t>(std::max(width - 1, 1));
  // A long name (a by-id one) gives way before any field does.
  const std::string name = ShortName(fullName, std::max<std::size_t>(room * 2 / 5, kShortestName));
  const std::string prefix = name.empty() ? "" : ": ";
  const std::size_t nameSize = name.size() + prefix.size();
  // Widest first: every field with the widest bar that fits, then fewer fields.
  struct Choice {
    bool cells, rate, bar;
  };
  for (const Choice c : {Choice{true, true, true}, Choice{false, true, true},
                         Choice{false, false, true}, Choice{false, false, false}}) {
    const std::size_t bare = nameSize + Fields(f, 0, c.cells, c.rate).size();
    if (!c.bar) {
      if (bare <= room) return name + prefix + Fields(f, 0, c.cells, c.rate);
      break;
    }
    const long spare = static_cast<long>(room) - static_cast<long>(bare) - 3;  // "[] "
    if (spare >= kNarrowestBar) {
      const int bar = static_cast<int>(std::min<long>(spare, kWidestBar));
      return name + prefix + Fields(f, bar, c.cells, c.rate);
    }
  }
  const std::string fields = Fields(f, 0, false, false);
  if (name.empty()) return fields.substr(0, room);
  const std::size_t left = room > fields.size() + 2 ? room - fields.size() - 2 : 0;
  const std::string shortName = ShortName(name, std::max<std::size_t>(left, kShortestName));
  return (shortName + ": " + fields).substr(0, room);
}

std::string ResultLine(const std::string& name, const std::string& result, double seconds,
                       int width) {
  const std::string tail = result + Format(", %.1f s", seconds);
  if (width <= 0) return tail;
  const std::size_t room = static_cast<std::size_t>(std::max(width - 1, 1));
  const std::size_t left = room > tail.size() + 2 ? room - tail.size() - 2 : 0;
  return (ShortName(name, std::max<std::size_t>(left, kShortestName)) + ": " + tail)
      .substr(0, room);
}

std::string WaitingLine(const std::string& name, int width) {
  const std::size_t room = static_cast<std::size_t>(std::max(width - 1, 1));
  return ShortName(name, room).substr(0, room);
}

std::string StepLine(const JobFigures& f, double stepSeconds) {
  return StepName(f) + ": " + std::to_string(f.done) + "/" + std::to_string(f.total) + " cells, " +
         Format("%.1f s, ", stepSeconds) + Rate(f.rate) + Format("; job %.0f%%, ", f.percent) +
         Duration(f.left) + " left";
}

}  // namespace romtool
