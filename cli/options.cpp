#include "cli/options.h"

#include <cctype>

namespace romtool {
namespace {

struct CommandInfo {
  Command command;
  const char* word;
  int files;       // how many files it takes
  bool needsPort;  // talks to the programmer
  bool needsChip;
  const char* usage;  // after "romtool "
  const char* summary;
};

constexpr CommandInfo kCommands[] = {
    {Command::Ports, "ports", 0, false, false, "ports", "list the serial ports present"},
    {Command::Blank, "blank", 0, true, true, "blank -p PORT -c CHIP",
     "read the whole chip and count its programmed cells and bits"},
    {Command::Read, "read", 1, true, true, "read -p PORT -c CHIP [--passes N] FILE",
     "read the chip and save it to FILE"},
    {Command::Write, "write", 1, true, true,
     "write -p PORT -c CHIP [--blank-check] [--no-precheck] [--no-verify] FILE",
     "check the chip can take FILE, write it, then read it back and compare"},
    {Command::Verify, "verify", 1, true, true, "verify -p PORT -c CHIP FILE",
     "compare the chip with FILE and list every difference"},
    {Command::Convert, "convert", 2, false, true, "convert -c CHIP IN OUT",
     "convert an image file to another format"},
    {Command::Dump, "dump", 1, false, true, "dump -c CHIP FILE", "show FILE as a hex listing"},
    {Command::Sum, "sum", 1, false, true, "sum -c CHIP FILE",
     "byte sum (16-bit) and CRC-32 of the chip's part of FILE"},
    {Command::Log, "log", 0, false, false, "log [-n N] [--log FILE]",
     "show the last entries of the job log"},
    {Command::Link, "link", 0, true, false, "link -p PORT [-c CHIP]",
     "time the line to the programmer and forecast each operation"},
};

// Whole numbers from 1 to `high`.
bool Count(const std::string& text, int high, int& value) {
  if (text.empty() || text.size() > 6 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  value = std::stoi(text);
  return value >= 1 && value <= high;
}

const CommandInfo* InfoOf(Command command) {
  for (const CommandInfo& info : kCommands) {
    if (info.command == command) return &info;
  }
  return nullptr;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// "--port=X" and "--port X" alike; false when the value is missing.
bool TakeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& inlined,
               bool hasInline, std::string& value) {
  if (hasInline) {
    value = inlined;
  } else if (i + 1 < args.size()) {
    value = args[++i];
  } else {
    return false;
  }
  return !value.empty();
}

bool IsValued(const std::string& name) {
  for (const char* valued : {"-p", "--port", "-c", "--chip", "--passes", "--log", "-n"}) {
    if (name == valued) return true;
  }
  return false;
}

bool SetValue(const std::string& name, const std::string& value, Options& options,
              std::string& error) {
  if (name == "-p" || name == "--port") {
    options.port = value;
  } else if (name == "--log") {
    options.logFile = value;
  } else if (name == "--passes") {
    if (!Count(value, 100, options.passes)) error = "--passes takes a number from 1 to 100";
  } else if (name == "-n") {
    if (!Count(value, 100000, options.entries)) error = "-n takes a number from 1 to 100000";
  } else if (!(options.chip = ChipNamed(value))) {
    error = "unknown chip type '" + value + "' (use 27C64, 27C128 or 27C256)";
  }
  return error.empty();
}

bool ParseOne(const std::vector<std::string>& args, std::size_t& i, Options& options,
              std::string& error) {
  const std::string& arg = args[i];
  const std::size_t eq = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
  const std::string name = arg.substr(0, eq);
  const bool hasInline = eq != std::string::npos;
  const std::string inlined = hasInline ? arg.substr(eq + 1) : std::string();
  std::string value;
  if (IsValued(name)) {
    if (!TakeValue(args, i, inlined, hasInline, value)) {
      error = "option " + name + " needs a value";
      return false;
    }
    return SetValue(name, value, options, error);
  }
  if (hasInline) {
    error = "option " + name + " takes no value";
    return false;
  }
  if (arg == "-v" || arg == "--verbose") {
    options.verbose = true;
  } else if (arg == "-h" || arg == "--help") {
    options.help = true;
  } else if (arg == "--version") {
    options.version = true;
  } else if (arg == "--no-verify") {
    options.noVerify = true;
  } else if (arg == "--blank-check") {
    options.blankCheck = true;
  } else if (arg == "--no-precheck") {
    options.noPrecheck = true;
  } else if (arg == "--lenient") {
    options.lenient = true;
  } else if (arg == "--no-log") {
    options.noLog = true;
  } else {
    error = "unknown option " + arg;
    return false;
  }
  return true;
}

// The chip jobs, each of which adds an entry to the job log.
bool KeepsJobLog(Command command) {
  return command == Command::Blank || command == Command::Read || command == Command::Write ||
         command == Command::Verify;
}

std::string CommandOptionsHelp(Command command) {
  switch (command) {
    case Command::Write:
      return "  --blank-check     refuse unless every cell reads 0xFF\n"
             "  --no-precheck     do not read the chip first; by default it is read and\n"
             "                    nothing is written when it already holds FILE (exit 0)\n"
             "                    or some cell would need a bit set 0 to 1 (exit 1: erase)\n"
             "  --no-verify       do not read the chip back after writing\n";
    case Command::Read:
      return "  --passes N        read the chip N times (default 1; 2 for archiving) and\n"
             "                    save FILE only when every pass read the same\n";
    case Command::Log:
      return "  -n N              how many entries, the last ones (default 10)\n"
             "  --log FILE        a log other than the usual one\n";
    case Command::Link:
      return "  -c, --chip CHIP   forecast for this chip type only\n\n"
             "Reads a few hundred cells and ends the exchange by lowering RTS; prints the time\n"
             "per cell next to the 9600-baud line time (2.08 ms) and what each operation on\n"
             "each chip type will take. Above 1.5 times the line time it warns: a USB-serial\n"
             "adapter's latency timer is the likely cause, and it says how to set it to 1 ms.\n";
    default:
      return "";
  }
}

std::string ExitCodesHelp(Command command) {
  switch (command) {
    case Command::Blank:
      return "\nExit codes: 0 blank, 1 programmed cells found, 2 usage error, 3 no answer,\n"
             "130 stopped by Ctrl-C.\n";
    case Command::Read:
      return "\nExit codes: 0 read and saved, 1 cells read differently between passes\n"
             "(FILE not written), 2 usage or file error, 3 no answer, 130 stopped by Ctrl-C.\n";
    case Command::Write:
      return "\nExit codes: 0 written (or already held), 1 chip fault or the chip needs\n"
             "erasing, 2 usage or file error, 3 no answer, 130 stopped by Ctrl-C.\n";
    case Command::Verify:
      return "\nExit codes: 0 the chip matches, 1 differences found, 2 usage or file error,\n"
             "3 no answer, 130 stopped by Ctrl-C.\n";
    case Command::Link:
      return "\nExit codes: 0 the programmer answers, 2 usage error, 3 no answer.\n";
    default:
      return "\nExit codes: 0 success, 2 usage or file error.\n";
  }
}

bool Complete(const Options& options, std::string& error) {
  const CommandInfo& info = *InfoOf(options.command);
  const std::string word = info.word;
  const bool logged = KeepsJobLog(options.command) || options.command == Command::Log;
  if (options.command != Command::Write &&
      (options.noVerify || options.blankCheck || options.noPrecheck)) {
    error = "--no-verify, --no-precheck and --blank-check belong to write only";
  } else if (options.command != Command::Read && options.passes != 1) {
    error = "--passes belongs to read only";
  } else if (!logged && (options.noLog || !options.logFile.empty())) {
    error = word + " keeps no job log";
  } else if (options.noLog && !options.logFile.empty()) {
    error = "--log and --no-log do not go together";
  } else if (options.lenient && (info.files == 0 || options.command == Command::Read)) {
    error = "--lenient is for commands that read a file";
  } else if (!info.needsPort && !options.port.empty()) {
    error = word + " does not use a port";
  } else if (info.needsPort && options.port.empty()) {
    error = word + " needs the port: -p PORT";
  } else if (info.needsChip && !options.chip) {
    error = word + " needs the chip type: -c 27C64|27C128|27C256";
  } else if (!info.needsChip && options.chip && options.command != Command::Link) {
    error = word + " does not use a chip type";
  } else if (static_cast<int>(options.files.size()) != info.files) {
    error = word + " takes " + std::to_string(info.files) + (info.files == 1 ? " file" : " files") +
            ", got " + std::to_string(options.files.size());
  }
  return error.empty();
}

}  // namespace

Command CommandNamed(const std::string& word) {
  for (const CommandInfo& info : kCommands) {
    if (word == info.word) return info.command;
  }
  return Command::None;
}

const char* CommandWord(Command command) {
  const CommandInfo* info = InfoOf(command);
  return info ? info->word : "";
}

const romprog::ChipType* ChipNamed(const std::string& name) {
  for (const romprog::ChipType& type : romprog::kChipTypes) {
    if (Lower(name) == Lower(type.name)) return &type;
  }
  return nullptr;
}

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
  options = Options();
  std::size_t i = 0;
  if (!args.empty() && args[0].rfind("-", 0) != 0) {
    options.command = CommandNamed(args[0]);
    if (options.command == Command::None) {
      error = "unknown command '" + args[0] + "'";
      return false;
    }
    i = 1;
  }
  bool onlyFiles = false;
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (onlyFiles || arg.size() < 2 || arg[0] != '-') {
      options.files.push_back(arg);
    } else if (arg == "--") {
      onlyFiles = true;
    } else if (!ParseOne(args, i, options, error)) {
      return false;
    }
  }
  if (options.help || options.version) return true;
  if (options.command == Command::None) {
    error = options.files.empty() ? "no command given" : "unknown command";
    return false;
  }
  return Complete(options, error);
}

std::string HelpText(Command command) {
  const CommandInfo* info = InfoOf(command);
  if (!info) {
    std::string text =
        "usage: romtool COMMAND [OPTIONS] [FILES]\n\n"
        "Drives a serial-port 27C64/27C128/27C256 EPROM programmer and handles its image files.\n\n"
        "commands:\n";
    for (const CommandInfo& each : kCommands) {
      std::string word = each.word;
      word.resize(9, ' ');
      text += "  " + word + each.summary + "\n";
    }
    text +=
        "\n'romtool COMMAND --help' describes a command. --version prints the version.\n"
        "Files: .hex Intel HEX, .srec/.s19/.s28/.mot Motorola S-records, anything else raw "
        "binary.\n"
        "Exit codes: 0 success, 1 chip or data fault, 2 usage or file error,\n"
        "3 port cannot be opened or programmer not answering, 130 stopped by Ctrl-C.\n"
        "Every chip command is recorded in the job log ('romtool log').\n";
    return text;
  }
  std::string text = std::string("usage: romtool ") + info->usage + "\n\n" + info->summary + ".\n";
  if (info->needsPort) {
    text += "\n  -p, --port PORT   serial port (Linux: /dev/ttyUSB0 ...; Windows: COM3 ...)\n";
  }
  if (info->needsChip)
    text += "  -c, --chip CHIP   27C64 (8 KiB), 27C128 (16 KiB), 27C256 (32 KiB)\n";
  text += CommandOptionsHelp(command);
  if (info->needsPort) text += "  -v, --verbose     say how the port was opened and what it did\n";
  if (KeepsJobLog(command)) {
    text +=
        "  --log FILE        append the job to FILE instead of the usual job log\n"
        "  --no-log          keep no record of the job\n"
        "\nThe job log: $XDG_DATA_HOME/romprog/romtool-log.jsonl (~/.local/share/...),\n"
        "%APPDATA%\\romprog\\romtool-log.jsonl on Windows; 'romtool log' shows it.\n";
  }
  if (info->files > 0 && command != Command::Read) {
    text +=
        "\nIntel HEX is read strictly: every record's count, characters and checksum are\n"
        "checked, extended address records (02, 04) and the end record (01) honoured,\n"
        "data outside the chip refused; the first fault names its line (exit 2).\n"
        "  --lenient         read Intel HEX as the window program does\n";
  }
  text += ExitCodesHelp(command);
  return text;
}

}  // namespace romtool
