#include "cli/run/port_workers.h"

#include <algorithm>
#include <chrono>

#include "cli/run/progress.h"
#include "cli/run/progress_line.h"
#include "platform/captured_stream.h"
#include "platform/console.h"

namespace romtool {
namespace {

using Steady = std::chrono::steady_clock;

double SecondsSince(Steady::time_point start) {
  return std::chrono::duration<double>(Steady::now() - start).count();
}

// Every line of `text` after "LABEL: ".
std::string Prefixed(const std::string& text, const std::string& label) {
  std::string lines;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    end = end == std::string::npos ? text.size() : end + 1;
    lines += label + ": " + text.substr(at, end - at);
    at = end;
  }
  if (!lines.empty() && lines.back() != '\n') lines += '\n';
  return lines;
}

// One port's job in its own thread: its messages kept until it ends.
void RunTurnOnBoard(PortTurn& turn, const Streams& streams, const ChipSteps& steps,
                    ProgressBoard& board, int row) {
  romprog::CapturedStream out, err;
  const Streams own{out.file(), err.file()};
  const Steady::time_point start = Steady::now();
  turn.record.exitCode =
      RunJobOnPort(turn.options, own, steps, turn.image, turn.record, &board, row);
  turn.record.seconds = SecondsSince(start);
  const std::string& label = turn.options.port;
  const romprog::Holding hold(board.Lock());
  if (!turn.options.quiet) {
    board.Show(row, ResultLine(label, ExitWord(turn.record.exitCode), turn.record.seconds,
                               board.Terminal() ? board.Width() : 0));
  }
  board.Print(streams.out, Prefixed(out.Take(), label));
  board.Print(streams.err, Prefixed(err.Take(), label));
  LogJob(turn.options, streams, turn.record);
}

}  // namespace

void RunRound(std::vector<PortTurn>& turns, const Streams& streams, const ChipSteps& steps) {
  if (turns.size() == 1) {
    PortTurn& turn = turns[0];
    const Steady::time_point start = Steady::now();
    turn.record.exitCode =
        RunJobOnPort(turn.options, streams, steps, turn.image, turn.record, nullptr, 0);
    turn.record.seconds = SecondsSince(start);
    LogJob(turn.options, streams, turn.record);
    return;
  }
  std::vector<std::string> names;
  for (const PortTurn& turn : turns) names.push_back(turn.options.port);
  ProgressBoard board(streams.err,
                      romprog::IsTerminal(streams.err) && romprog::MovesCursor(streams.err), names);
  romprog::RunEach(static_cast<int>(turns.size()), [&](int row) {
    RunTurnOnBoard(turns[static_cast<std::size_t>(row)], streams, steps, board, row);
  });
}

std::vector<PortTurn> TurnsFor(const Options& options, const std::vector<std::string>& files,
                               const romprog::Image& image, const JobRecord& base) {
  std::vector<PortTurn> turns;
  for (std::size_t k = 0; k < options.ports.size(); ++k) {
    PortTurn turn{options, image, base};
    turn.options.port = options.ports[k];
    turn.options.ports = {options.ports[k]};
    turn.record.port = options.ports[k];
    if (!files.empty()) {
      turn.options.files[0] = files[k];
      turn.record.file = files[k];
    }
    turns.push_back(turn);
  }
  return turns;
}

int WorstCode(const std::vector<PortTurn>& turns) {
  int worst = kSuccess;
  for (const PortTurn& turn : turns) worst = std::max(worst, turn.record.exitCode);
  return worst;
}

// "4 ports: 3 ok, 1 failed (/dev/ttyUSB2: no-answer); 52.1 s".
void PrintPortSummary(const std::vector<PortTurn>& turns, const Streams& streams, double seconds) {
  int ok = 0;
  std::string failed;
  for (const PortTurn& turn : turns) {
    if (turn.record.exitCode == kSuccess) {
      ++ok;
    } else {
      failed +=
          (failed.empty() ? "" : ", ") + turn.options.port + ": " + ExitWord(turn.record.exitCode);
    }
  }
  const int count = static_cast<int>(turns.size());
  std::fprintf(streams.err, "%d ports: %d ok, %d failed%s; %.1f s\n", count, ok, count - ok,
               failed.empty() ? "" : (" (" + failed + ")").c_str(), seconds);
}

}  // namespace romtool
