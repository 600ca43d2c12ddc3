#include "sim/romsim/romsim_options.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>

namespace romprog::sim {
namespace {

bool ParseNumber(const std::string& text, int base, long low, long high, long& value) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, base);
  return errno == 0 && *end == '\0' && value >= low && value <= high;
}

bool ParseByteHex(std::string text, std::uint8_t& byte) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.erase(0, 2);
  long value = 0;
  if (text.size() > 2 || !ParseNumber(text, 16, 0, 255, value)) return false;
  byte = static_cast<std::uint8_t>(value);
  return true;
}

using Setter = std::function<bool(const std::string&, RomsimOptions&)>;

// "A:B" or "A:B:C" taken apart at the colons.
std::vector<std::string> Fields(const std::string& text) {
  std::vector<std::string> fields(1);
  for (char c : text) {
    if (c == ':') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// N:P[:SEED]: N weak bits, each reading 1 with the chance P (0 to 1).
bool WeakBits(const std::string& v, RomsimOptions& o) {
  const std::vector<std::string> f = Fields(v);
  long count = 0, seed = 1;
  if (f.size() < 2 || f.size() > 3 || !ParseNumber(f[0], 10, 1, kChipCapacity * 8L, count) ||
      (f.size() == 3 && !ParseNumber(f[2], 0, 0, 0xFFFFFFFFL, seed))) {
    return false;
  }
  char* end = nullptr;
  const double chance = std::strtod(f[1].c_str(), &end);
  if (f[1].empty() || *end != '\0' || !(chance >= 0 && chance <= 1)) return false;
  o.device.faults.weakBits = static_cast<int>(count);
  o.device.faults.weakChance = chance;
  o.device.faults.weakSeed = static_cast<std::uint32_t>(seed);
  return true;
}

// B:V: data bit B (0 to 7) reads V (0 or 1) in every cell.
bool StuckDataBit(const std::string& v, RomsimOptions& o) {
  const std::vector<std::string> f = Fields(v);
  long bit = 0, value = 0;
  if (f.size() != 2 || !ParseNumber(f[0], 10, 0, 7, bit) || !ParseNumber(f[1], 10, 0, 1, value)) {
    return false;
  }
  o.device.faults.stuckBit = static_cast<int>(bit);
  o.device.faults.stuckValue = static_cast<int>(value);
  return true;
}

bool DeadAddressLine(const std::string& v, RomsimOptions& o) {
  std::string text = v;
  if (!text.empty() && (text[0] == 'A' || text[0] == 'a')) text.erase(0, 1);
  long line = 0;
  if (!ParseNumber(text, 10, 0, 14, line)) return false;
  o.device.faults.deadLine = static_cast<int>(line);
  return true;
}

Setter IntoInt(int RomsimOptions::*field, long low, long high) {
  return [=](const std::string& v, RomsimOptions& o) {
    long n = 0;
    if (!ParseNumber(v, 0, low, high, n)) return false;
    o.*field = static_cast<int>(n);
    return true;
  };
}

Setter IntoText(std::string RomsimOptions::*field) {
  return [=](const std::string& v, RomsimOptions& o) {
    o.*field = v;
    return !v.empty();
  };
}

Setter IntoAddress(int DeviceOptions::*field) {
  return [=](const std::string& v, RomsimOptions& o) {
    long n = 0;
    if (!ParseNumber(v, 0, 0, kChipCapacity - 1, n)) return false;
    o.device.*field = static_cast<int>(n);
    return true;
  };
}

const std::map<std::string, Setter>& ValueOptions() {
  static const std::map<std::string, Setter> options = {
      {"--chip", IntoText(&RomsimOptions::chipFile)},
      {"--link", IntoText(&RomsimOptions::linkPath)},
      {"--device", IntoText(&RomsimOptions::devicePath)},
      {"--log", IntoText(&RomsimOptions::logFile)},
      {"--pace", IntoInt(&RomsimOptions::paceBaud, 50, 4000000)},
      {"--silence-ms", IntoInt(&RomsimOptions::silenceMs, 1, 60000)},
      {"--latency-ms", IntoInt(&RomsimOptions::latencyMs, 0, 255)},
      {"--silent-from", IntoAddress(&DeviceOptions::silentFrom)},
      {"--fail-write-at", IntoAddress(&DeviceOptions::writeFailAt)},
      {"--flaky-cell", IntoAddress(&DeviceOptions::flakyCell)},
      {"--late-at", IntoAddress(&DeviceOptions::lateAt)},
      {"--late-ms", IntoInt(&RomsimOptions::lateMs, 0, 60000)},
      {"--weak-bits", WeakBits},
      {"--stuck-data-bit", StuckDataBit},
      {"--dead-address-line", DeadAddressLine},
      {"--command-reply",
       [](const std::string& v, RomsimOptions& o) {
         std::uint8_t byte = 0;
         if (!ParseByteHex(v, byte)) return false;
         o.device.commandReply = byte;
         return true;
       }},
      {"--rts-line",
       [](const std::string& v, RomsimOptions& o) {
         if (v != "cts" && v != "none") return false;
         o.followCts = v == "cts";
         return true;
       }},
  };
  return options;
}

bool ParseFlag(const std::string& arg, RomsimOptions& options) {
  if (arg == "--help" || arg == "-h") {
    options.help = true;
  } else if (arg == "--silent-command") {
    options.device.silentCommand = 1;
  } else {
    return false;
  }
  return true;
}

bool Consistent(const RomsimOptions& options, std::string& error) {
  if (!options.linkPath.empty() && !options.devicePath.empty()) {
    error = "--link names a pty; it does not go with --device";
  } else if (options.followCts && options.devicePath.empty()) {
    error = "--rts-line=cts needs --device: a pty has no modem lines";
  }
  return error.empty();
}

}  // namespace

bool ParseRomsimOptions(const std::vector<std::string>& args, RomsimOptions& options,
                        std::string& error) {
  // Consistent() judges by `error` being empty: a caller's old text must not count.
  error.clear();
  const auto& valued = ValueOptions();
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (ParseFlag(arg, options)) continue;
    const std::size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    const auto it = valued.find(name);
    if (it == valued.end()) {
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
    if (!it->second(value, options)) {
      error = "bad value for " + name + ": '" + value + "'";
      return false;
    }
  }
  return Consistent(options, error);
}

const char* RomsimUsage() {
  return "usage: romsim [options]\n"
         "Serves an emulated 27C-series EPROM programmer on a pseudo-terminal (its\n"
         "slave path is printed on stdout) or on a real serial device.\n"
         "\n"
         "  --chip FILE          the chip's 32768 bytes, kept between runs (created\n"
         "                       blank when missing, rewritten after every write)\n"
         "  --link PATH          symlink PATH to the pty slave (e.g. a Wine comN)\n"
         "  --device DEV         serve DEV (raw 9600 8N1) instead of a pty\n"
         "  --rts-line cts|none  on --device: frame exchanges by CTS (the host's RTS)\n"
         "                       instead of by silence (default none)\n"
         "  --silence-ms N       a pause this long ends an exchange (default 300) when\n"
         "                       the host's RTS does not reach romsim (a pty without\n"
         "                       the modem-lines library, libromsim_lines.so)\n"
         "  --pace BAUD          take the line time of 10 bits per byte at BAUD\n"
         "  --latency-ms N       hold bytes toward the host as a USB adapter's latency\n"
         "                       timer of N ms does (1 ms once the host asks for low\n"
         "                       latency); default 0, no timer\n"
         "  --log FILE           one line per exchange appended to FILE\n"
         "faults:\n"
         "  --silent-from N      stop answering at data address N\n"
         "  --silent-command     never answer a command byte\n"
         "  --fail-write-at N    report the cell at address N as failed\n"
         "  --flaky-cell N       every other read of cell N gives its low bit flipped\n"
         "  --late-at N          send the byte of cell N late, in the first read exchange\n"
         "                       that gets there only: past the host's wait it lands in\n"
         "                       the host's input queue, where later reads must not\n"
         "                       take it for their own\n"
         "  --late-ms MS         how late (default 1400; the host waits 1000)\n"
         "  --weak-bits N:P[:SEED]  N programmed (0) bits of the chip read are weak: each\n"
         "                       read gives 1 with the chance P (0 to 1); SEED (default 1)\n"
         "                       picks the bits and draws the reads, the same every run\n"
         "  --stuck-data-bit B:V data bit B (0 to 7) reads V (0 or 1) in every cell\n"
         "  --dead-address-line A  address line A (0 to 14, or A12) reads as low: every\n"
         "                       cell with it high reads as the one with it low, so the\n"
         "                       chip repeats itself\n"
         "  --command-reply HEX  answer commands with this byte (default 00)\n"
         "  --help               this text\n";
}

}  // namespace romprog::sim
