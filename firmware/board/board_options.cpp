#include "firmware/board/board_options.h"

#include <cerrno>
#include <cstdlib>

namespace romprog::board {
namespace {

bool ParseLong(const std::string& text, long low, long high, long& value) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 0);
  return errno == 0 && *end == '\0' && value >= low && value <= high;
}

bool ParseSocket(const std::string& text, EpromKind& kind) {
  if (text == "27C64") {
    kind = EpromKind::k27C64;
  } else if (text == "27C128") {
    kind = EpromKind::k27C128;
  } else if (text == "27C256") {
    kind = EpromKind::k27C256;
  } else {
    return false;
  }
  return true;
}

// "5,100,0x2000": cells that never take a value.
bool ParseCells(const std::string& text, std::set<int>& cells) {
  std::size_t at = 0;
  while (at <= text.size()) {
    const std::size_t comma = text.find(',', at);
    const std::string one =
        text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
    long cell = 0;
    if (!ParseLong(one, 0, kSocketCells - 1, cell)) return false;
    cells.insert(static_cast<int>(cell));
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  return true;
}

bool Take(const std::string& name, const std::string& value, BoardOptions& o) {
  long n = 0;
  if (name == "--firmware")
    o.firmware = value;
  else if (name == "--chip")
    o.chipFile = value;
  else if (name == "--link")
    o.linkPath = value;
  else if (name == "--log")
    o.logFile = value;
  else if (name == "--socket")
    return ParseSocket(value, o.socket);
  else if (name == "--dead-cells")
    return ParseCells(value, o.faults.deadCells);
  else if (name == "--seed") {
    if (!ParseLong(value, 0, 0x7FFFFFFF, n)) return false;
    o.faults.seed = static_cast<std::uint32_t>(n);
  } else if (name == "--max-pulses") {
    if (!ParseLong(value, 1, 255, n)) return false;
    o.faults.maxPulses = static_cast<int>(n);
  } else if (name == "--speed") {
    char* end = nullptr;
    o.speed = std::strtod(value.c_str(), &end);
    return *end == '\0' && o.speed >= 0.01 && o.speed <= 1000;
  }
  return !value.empty();
}

bool Valued(const std::string& name) {
  for (const char* known : {"--firmware", "--chip", "--link", "--log", "--socket", "--dead-cells",
                            "--seed", "--max-pulses", "--speed"}) {
    if (name == known) return true;
  }
  return false;
}

}  // namespace

bool ParseBoardOptions(const std::vector<std::string>& args, BoardOptions& options,
                       std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    if (arg == "--erase") {
      options.erase = true;
      continue;
    }
    const std::size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    if (!Valued(name)) {
      error = "unknown option " + arg;
      return false;
    }
    std::string value;
    if (eq != std::string::npos) {
      value = arg.substr(eq + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      error = name + " needs a value";
      return false;
    }
    if (!Take(name, value, options)) {
      error = "bad value for " + name + ": '" + value + "'";
      return false;
    }
  }
  return true;
}

const char* BoardUsage() {
  return "usage: romboard [options]\n"
         "Runs romprog's programmer firmware on a simulated ATmega328P (simavr) with\n"
         "two 74HC595 and a 27C chip in its socket, its UART on a pseudo-terminal (the\n"
         "slave path is printed on stdout). Hosts preloading libromsim_lines.so reach\n"
         "its RTS pin; others are framed by their silence.\n"
         "\n"
         "  --firmware ELF       the firmware to run (default: the one built with it)\n"
         "  --chip FILE          the chip's 32768 bytes, kept between runs (created\n"
         "                       blank when missing, rewritten after every change)\n"
         "  --erase              blank the chip first, as UV light does\n"
         "  --socket TYPE        27C64, 27C128 or 27C256 in the socket (default 27C256)\n"
         "  --link PATH          symlink PATH to the pty slave (e.g. a Wine comN)\n"
         "  --log FILE           RTS edges and the run's figures appended to FILE\n"
         "  --speed X            let simulated time run up to X times the wall clock\n"
         "                       (default 1: a real 9600-baud line)\n"
         "chip faults:\n"
         "  --max-pulses K       each cell needs 1 to K pulses (by --seed; default 1)\n"
         "  --seed N             picks each cell's pulse count (default 1)\n"
         "  --dead-cells LIST    cells (comma-separated) that never take a value\n"
         "  --help               this text\n";
}

}  // namespace romprog::board
