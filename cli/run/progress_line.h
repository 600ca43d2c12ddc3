// A chip job's progress as text: the figures of the whole job (its step,
// percent, rate and time left) and the one line they make for a terminal's
// width or for a log.
#pragma once

#include <string>

namespace romtool {

struct JobFigures {
  std::string step;  // "write"
  int stepNo = 1;    // from 1
  int steps = 1;     // the steps the job takes
  int done = 0;      // cells of this step that passed
  int total = 0;     // cells a step
  int percent = 0;   // of the whole job
  double rate = 0;   // cells a second over the job's exchanges; NaN while unknown
  double left = 0;   // seconds for the rest of the whole job; NaN while unknown
};

// The job's figures with `done` cells of step `stepNo` passed, `seconds` spent
// on the line so far and `cells` passed in that time (earlier steps included).
JobFigures FiguresOf(const std::string& step, int stepNo, int steps, int done, int total, int cells,
                     double seconds);

// The line for a terminal `width` columns wide, `name` (the port; empty for
// one port) first: fields go as it narrows (the cells, the rate, then the
// bar), then the port's name is shortened; it never reaches the last column.
std::string FitLine(const std::string& name, const JobFigures& figures, int width);

// A port's last line, its result: "ttyUSB0: ok, 51.2 s" within `width`
// (0: no limit, for a log).
std::string ResultLine(const std::string& name, const std::string& result, double seconds,
                       int width);

// The line of a port yet to start: its name within `width`, shortened as
// the job lines shorten it, so that waiting adapters stay told apart.
std::string WaitingLine(const std::string& name, int width);

// The line a log gets at the end of a step: "write 2/3: 8192/8192 cells,
// 17.1 s, 479 B/s; job 67%, 0:17 left".
std::string StepLine(const JobFigures& figures, double stepSeconds);

// How romtool writes a time: "1:07" for 67 seconds; "?" for one not known
// (not finite, or below 0).
std::string Duration(double seconds);

}  // namespace romtool
