#include "cli/run/next_chip_loop.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>

#include "cli/base/checksum.h"
#include "cli/run/chip_findings.h"
#include "cli/run/progress.h"
#include "core/hex_text.h"
#include "platform/interrupt.h"

namespace romtool {
namespace {

using Steady = std::chrono::steady_clock;

double SecondsSince(Steady::time_point start) {
  return std::chrono::duration<double>(Steady::now() - start).count();
}

// The serial's cells must be blank (0xFF) in the image unless
// --serial-over-data: else the serial would replace the file's own data
// (interrupt vectors, code) without a word. Empty when they may be written.
std::string SerialOverData(const Options& options, const romprog::Image& image) {
  if (options.serialOverData) return std::string();
  const SerialRule& rule = options.serial;
  std::string held;
  for (int k = 0; k < rule.width; ++k) {
    held += (k ? " " : "") + romprog::HexNumber(image[static_cast<std::size_t>(rule.cell + k)], 2);
  }
  const auto first = image.begin() + rule.cell;
  if (std::all_of(first, first + rule.width, [](std::uint8_t b) { return b == 0xFF; })) {
    return std::string();
  }
  return "--serial: cells " + romprog::HexNumber(static_cast<unsigned>(rule.cell), 4) + " to " +
         romprog::HexNumber(static_cast<unsigned>(rule.cell + rule.width - 1), 4) +
         " hold data of " + options.files[0] + " (" + held +
         "), not blank 0xFF: the serial would replace it; nothing written. Pick blank cells, "
         "or --serial-over-data to write over them knowingly";
}

// Where the serials of this run start: START, else after the job log's last
// one for the same file, else 1.
SerialPlan FirstSerial(const Options& options, const JobRecord& base) {
  if (options.serial.hasStart) return SerialPlan(options.serial.start);
  std::ifstream log(LogPath(options.logFile), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  return SerialPlan(SerialAfterLog(text, romprog::HexNumber(base.fileSum, 4),
                                   romprog::HexNumber(base.fileCrc, 8), std::uint64_t{1}));
}

// Each turn's serial into its copy of the image; false after saying so when
// one does not fit (nothing written then).
bool GiveSerials(std::vector<PortTurn>& turns, SerialPlan& plan, const Options& options,
                 const Streams& streams) {
  for (PortTurn& turn : turns) {
    turn.record.hasSerial = true;
    turn.record.serial = plan.Take();
    if (!SerialFits(options.serial, turn.record.serial)) {
      Fail(streams, kUsageOrFile,
           "serial " + std::to_string(turn.record.serial) + " does not fit in " +
               Counted(options.serial.width, "cell") + "; nothing written");
      return false;
    }
    PutSerial(options.serial, turn.record.serial, turn.image.data());
  }
  return true;
}

struct Tally {
  int ok = 0, failed = 0, worst = kSuccess;
  double seconds = 0;  // the chips' own times, added
};

// "chip 7: ok, 27C64, 0x1A2B sum, serial 101, 11.8 s" for each turn.
void CountRound(const std::vector<PortTurn>& turns, bool several, Tally& tally,
                const Streams& streams, bool quiet) {
  for (const PortTurn& turn : turns) {
    const JobRecord& r = turn.record;
    (r.exitCode == kSuccess ? tally.ok : tally.failed) += 1;
    tally.worst = std::max(tally.worst, r.exitCode);
    tally.seconds += r.seconds;
    if (quiet) continue;
    const std::string serial = r.hasSerial ? ", serial " + std::to_string(r.serial) : "";
    const std::string port = several ? " (" + r.port + ")" : "";
    const std::uint16_t sum = ByteSum16(turn.image.data(), turn.options.chip->activeSize);
    std::fprintf(streams.err, "chip %d%s: %s, %s, %s sum%s, %.1f s\n", r.sequence, port.c_str(),
                 ExitWord(r.exitCode).c_str(), r.chip.c_str(),
                 romprog::HexNumber(sum, 4).c_str() + 2, serial.c_str(), r.seconds);
  }
  if (!quiet) std::fprintf(streams.err, "%d ok, %d failed\n", tally.ok, tally.failed);
}

// Whether the user wants another round: Enter goes on; q, the end of the
// input or Ctrl-C finish.
bool NextRound(std::FILE* input, const Streams& streams) {
  if (!input) {
    std::fprintf(streams.err,
                 "romtool: the image came on standard input and there is no terminal to answer "
                 "the next-chip prompt: give the image as a file to go on chip after chip\n");
    return false;
  }
  std::fprintf(streams.err, "put the next chip in, then Enter (q to finish) ");
  std::fflush(streams.err);
  char line[64];
  if (!std::fgets(line, sizeof line, input) || romprog::Interrupted()) {
    std::fputc('\n', streams.err);
    return false;
  }
  return line[0] != 'q' && line[0] != 'Q';
}

// Where this run's serials start (none without --serial): kSuccess, else
// the exit code after saying why none can be written.
int PlanSerials(const Options& options, const romprog::Image& image, const JobRecord& base,
                const Streams& streams, std::optional<SerialPlan>& serials) {
  if (options.serial.width == 0) return kSuccess;
  const std::string overData = SerialOverData(options, image);
  if (!overData.empty()) return Fail(streams, kUsageOrFile, overData);
  // With --at the chip's own cells stay around the file's: the serial must
  // lie among those written.
  const SerialRule& rule = options.serial;
  if (base.at >= 0 && (rule.cell < base.at || rule.cell + rule.width > base.at + base.atSize)) {
    return Fail(streams, kUsageOrFile,
                "--serial: its cells lie outside those --at writes; nothing written");
  }
  serials = FirstSerial(options, base);
  return kSuccess;
}

// "3 chips: 2 ok, 1 failed; 0:35 in all, 11.8 s a chip" at the end of a
// --repeat run.
void PrintRunSummary(const Tally& tally, double seconds, const Streams& streams) {
  const int chips = tally.ok + tally.failed;
  std::fprintf(streams.err, "%s: %d ok, %d failed; %s in all, %.1f s a chip\n",
               Counted(chips, "chip").c_str(), tally.ok, tally.failed, Duration(seconds).c_str(),
               chips > 0 ? tally.seconds / chips : 0.0);
}

}  // namespace

int RunOnPorts(const Options& options, const Streams& streams, const ChipSteps& steps,
               const romprog::Image& image, const JobRecord& base, std::FILE* input) {
  const Steady::time_point start = Steady::now();
  std::optional<SerialPlan> serials;
  if (int code = PlanSerials(options, image, base, streams, serials)) return code;
  const bool several = options.ports.size() > 1;
  Tally tally;
  int sequence = 0;
  for (;;) {
    std::vector<PortTurn> turns = TurnsFor(options, steps.portFiles, image, base);
    for (PortTurn& turn : turns) {
      turn.record.start = UtcNow();
      if (options.repeat) turn.record.sequence = ++sequence;
    }
    if (serials && !GiveSerials(turns, *serials, options, streams)) {
      return std::max(tally.worst, static_cast<int>(kUsageOrFile));
    }
    const Steady::time_point roundStart = Steady::now();
    RunRound(turns, streams, steps);
    for (const PortTurn& turn : turns) {
      if (serials && turn.record.exitCode != kSuccess) serials->GiveBack(turn.record.serial);
    }
    if (!options.repeat) {
      if (several && !options.quiet) PrintPortSummary(turns, streams, SecondsSince(roundStart));
      return WorstCode(turns);
    }
    CountRound(turns, several, tally, streams, options.quiet);
    const bool more = (options.chips == 0 || sequence < options.chips) && !romprog::Interrupted();
    if (!more || !NextRound(input, streams)) break;
  }
  // A chip cut short by Ctrl-C has its own exit 130 in the tally; Ctrl-C at
  // the prompt only finishes the run, whose chips all passed or not.
  if (!options.quiet) PrintRunSummary(tally, SecondsSince(start), streams);
  return tally.worst;
}

}  // namespace romtool
