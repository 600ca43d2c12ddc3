// romboard: romprog's programmer firmware on a simulated board, its UART on
// a pseudo-terminal, as romsim serves its model of the programmer.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "firmware/board/avr_board.h"
#include "firmware/board/board_options.h"
#include "firmware/board/line_bridge.h"
#include "sim/romsim/chip_file.h"
#include "sim/romsim/modem_lines_socket.h"
#include "sim/romsim/own_session.h"
#include "sim/romsim/pty_line.h"

#ifndef ROMBOARD_FIRMWARE
#define ROMBOARD_FIRMWARE ""
#endif

namespace romprog::board {
namespace {

int Fail(const std::string& error) {
  std::fprintf(stderr, "romboard: %s\n", error.c_str());
  return 1;
}

// SIGTERM, SIGINT and SIGHUP as a readable descriptor: the run ends in
// order and the chip file is written.
sim::UniqueFd StopSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&set, sig);
  sigprocmask(SIG_BLOCK, &set, nullptr);
  signal(SIGPIPE, SIG_IGN);
  return sim::UniqueFd(signalfd(-1, &set, SFD_CLOEXEC));
}

// The log and the chip file.
class Recorder {
 public:
  Recorder(const BoardOptions& options, const EpromModel& chip) : options_(options), chip_(chip) {
    if (!options.logFile.empty()) log_ = std::fopen(options.logFile.c_str(), "a");
  }
  ~Recorder() {
    if (log_ != nullptr) std::fclose(log_);
  }
  bool ok() const { return options_.logFile.empty() || log_ != nullptr; }
  void Note(const std::string& line) {
    if (log_ == nullptr) return;
    std::fprintf(log_, "%s\n", line.c_str());
    std::fflush(log_);
  }
  void Save(EpromModel& chip) {
    if (options_.chipFile.empty() || !chip.changed()) return;
    std::string error;
    if (!sim::SaveChip(options_.chipFile, chip.cells(), error)) {
      std::fprintf(stderr, "romboard: %s\n", error.c_str());
      return;
    }
    chip.ClearChanged();
  }
  void Summary(const AvrBoard& board) {
    const EpromCounts& c = chip_.counts();
    const BoardFigures& f = board.figures();
    char line[512];
    auto mean = [](const AnswerTimes& t) { return t.count ? t.totalNs / t.count / 1000 : 0; };
    std::snprintf(
        line, sizeof line,
        "summary sim_ms=%.1f pulses=%ld void_pulses=%ld sequence_faults=%ld "
        "supply_cycles=%ld contention=%ld written=%ld written_us_mean=%lld "
        "written_us_max=%lld other_answers=%ld other_us_mean=%lld other_us_max=%lld",
        static_cast<double>(board.NowNs()) / 1e6, c.pulses, c.voidPulses, c.sequenceFaults,
        c.supplyCycles, f.contention, f.written.count, static_cast<long long>(mean(f.written)),
        static_cast<long long>(f.written.maxNs / 1000), f.others.count,
        static_cast<long long>(mean(f.others)), static_cast<long long>(f.others.maxNs / 1000));
    Note(line);
  }

 private:
  const BoardOptions& options_;
  const EpromModel& chip_;
  std::FILE* log_ = nullptr;
};

int Serve(const BoardOptions& options, std::FILE* out) {
  std::string error;
  if (!sim::EnterOwnSession(error)) return Fail(error);
  const sim::UniqueFd stop = StopSignals();
  if (!stop.valid()) return Fail("cannot watch for signals");
  std::unique_ptr<sim::PtyLine> pty = sim::PtyLine::Open(error);
  if (!pty) return Fail(error);
  if (!options.linkPath.empty() && !pty->MakeLink(options.linkPath, error)) return Fail(error);

  ChipCells cells;
  cells.fill(0xFF);
  if (!options.chipFile.empty() && !sim::LoadOrCreateChip(options.chipFile, cells, error)) {
    return Fail(error);
  }
  auto chip = std::make_unique<EpromModel>(options.socket, cells, options.faults);
  if (options.erase) {
    cells.fill(0xFF);
    chip = std::make_unique<EpromModel>(options.socket, cells, options.faults);
    if (!options.chipFile.empty() && !sim::SaveChip(options.chipFile, cells, error)) {
      return Fail(error);
    }
  }
  Recorder recorder(options, *chip);
  if (!recorder.ok()) return Fail("cannot open the log " + options.logFile);
  std::unique_ptr<AvrBoard> board = AvrBoard::Load(options.firmware, *chip, error);
  if (!board) return Fail(error);

  sim::ModemLinesSocket lines;
  if (!lines.Listen(pty->slaveFd(), error)) return Fail(error);
  LineBridge bridge(
      *board, pty->fd(), stop.get(), &lines, options.speed,
      [&recorder](const std::string& line) { recorder.Note(line); },
      [&recorder, &chip] { recorder.Save(*chip); });
  std::fprintf(out, "%s\n", pty->slavePath().c_str());
  std::fflush(out);
  const bool ran = board->Run([&bridge] { return bridge.Tick(); });
  recorder.Save(*chip);
  recorder.Summary(*board);
  if (!ran) return Fail("the simulated MCU crashed");
  return 0;
}

}  // namespace
}  // namespace romprog::board

int main(int argc, char** argv) {
  using namespace romprog::board;
  BoardOptions options;
  options.firmware = ROMBOARD_FIRMWARE;
  std::string error;
  if (!ParseBoardOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "romboard: %s\n%s", error.c_str(), BoardUsage());
    return 2;
  }
  if (options.help) {
    std::fputs(BoardUsage(), stdout);
    return 0;
  }
  // stdout carries the pty's path alone: simavr's own messages go to stderr.
  std::FILE* out = fdopen(dup(1), "w");
  if (out == nullptr) return 1;
  dup2(2, 1);
  return Serve(options, out);
}
