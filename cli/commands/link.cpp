// romtool link: how fast the line to the programmer really is, what that
// makes of each chip operation, and what to do when an adapter holds bytes.
#include <chrono>
#include <memory>
#include <string>

#include "cli/commands/commands.h"
#include "cli/run/chip_job.h"
#include "cli/run/progress.h"
#include "core/protocol/chip_link.h"
#include "platform/system_serial_ports.h"

namespace romtool {
namespace {

// A cell's share of the 9600-baud line: a byte each way, 10 bits a byte.
constexpr double kLineMsPerCell = 2 * 10 * 1000.0 / 9600;
// Cells timed; the first one, which waits for the command, is left out.
constexpr int kLinkCells = 256;
// A cell slower than the line time by more than this waits for an adapter's
// timer of more than 1 ms: the 1 ms timer itself adds about 1 ms a cell,
// and nothing more can be set lower than that.
constexpr double kSlowMarginMs = 2.0;

using Stopwatch = std::chrono::steady_clock;

// Takes kLinkCells + 1 cells and turns the next one down, which ends the
// exchange the way a bad cell does: no acknowledge, RTS lowered.
class TimingObserver : public romprog::LinkObserver {
 public:
  bool Accept(int address, std::uint8_t) override {
    if (address == 0) first_ = Stopwatch::now();
    if (address == kLinkCells) last_ = Stopwatch::now();
    return address < kLinkCells;
  }
  double MsPerCell() const {
    return std::chrono::duration<double, std::milli>(last_ - first_).count() / kLinkCells;
  }

 private:
  Stopwatch::time_point first_, last_;
};

void Forecast(const romprog::ChipType& chip, double msPerCell, std::FILE* out) {
  const double one = chip.activeSize * msPerCell / 1000;
  std::fprintf(out,
               "  %-7s %5d cells: blank check, read, verify %s each; write %s (%s with the "
               "check before and the read-back after)\n",
               chip.name, chip.activeSize, Duration(one).c_str(), Duration(one).c_str(),
               Duration(3 * one).c_str());
}

void WarnSlow(double factor, const std::string& port, const std::string& lowLatency,
              std::FILE* err) {
  std::fprintf(err,
               "romtool: warning: a cell takes %.1f times the line time. The likely cause is the "
               "USB-serial adapter's latency timer, which holds every byte from the programmer "
               "until it runs out (16 ms by default).\n",
               factor);
  if (!lowLatency.empty()) {
    std::fprintf(err,
                 "romtool asked the driver for low-latency mode, which drops the timer to 1 ms: "
                 "%s.\n",
                 lowLatency.c_str());
  }
  const std::string fix = romprog::LatencyTimerFix(port);
  if (fix.empty()) {
    std::fprintf(err,
                 "%s shows no latency timer to set: if it is no USB adapter, the time goes "
                 "elsewhere (the programmer, or a machine too busy to answer at once).\n",
                 port.c_str());
  } else {
    std::fprintf(err, "Fix: %s\n", fix.c_str());
  }
}

}  // namespace

int LinkCommand(const Options& options, const Streams& streams) {
  std::string lowLatency;
  std::unique_ptr<romprog::SerialPort> port = OpenCommandPort(options, streams, lowLatency);
  if (!port) return kNoAnswer;
  std::unique_ptr<romprog::Clock> clock = romprog::MakeSystemClock();
  const romprog::ChipType& probe = options.chip ? *options.chip : romprog::kChipTypes.back();
  TimingObserver timing;
  const romprog::LinkResult result = romprog::RunExchange(
      *port, *clock, timing, romprog::Direction::Reading, {probe.chipCode, probe.activeSize});
  if (result.ending != romprog::Ending::BadCell || result.address != kLinkCells) {
    return Fail(streams, kNoAnswer,
                std::string("the programmer did not answer ") +
                    (result.address < 0 ? "the command byte" : "every cell"));
  }
  const double perCell = timing.MsPerCell();
  const double factor = perCell / kLineMsPerCell;
  std::fprintf(streams.out,
               "%d cells: %.2f ms per cell; the 9600-baud line takes %.2f ms (%.2f times)\n",
               kLinkCells, perCell, kLineMsPerCell, factor);
  std::fprintf(streams.out,
               "forecast at this rate (the programming time of the cells not "
               "counted):\n");
  for (const romprog::ChipType& chip : romprog::kChipTypes) {
    if (!options.chip || options.chip == &chip) Forecast(chip, perCell, streams.out);
  }
  if (perCell > kLineMsPerCell + kSlowMarginMs) {
    WarnSlow(factor, options.port, lowLatency, streams.err);
  }
  return kSuccess;
}

}  // namespace romtool
