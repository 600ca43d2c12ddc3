#include "cli/command_line/options.h"

#include <algorithm>

#include "cli/base/same_file.h"
#include "cli/command_line/chip_names.h"
#include "cli/command_line/habits.h"
#include "cli/command_line/option_table.h"

namespace romtool {
namespace {

const OptionRow* OptionNamed(const std::string& name) {
  for (const OptionRow& row : OptionTable()) {
    if ((row.longName && name == row.longName) || (row.shortName && name == row.shortName)) {
      return &row;
    }
  }
  return nullptr;
}

// One option at args[i] ("--port=X", "--port X", "-p X", "-v"); i moves past
// its value. nullptr with `error` set when it is not one romtool takes.
const OptionRow* TakeOption(const std::vector<std::string>& args, std::size_t& i, Options& options,
                            std::string& error) {
  const std::string& arg = args[i];
  const std::size_t eq = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
  std::string name = arg.substr(0, eq);
  const OptionRow* row = OptionNamed(name);
  std::string value;
  // "-pCOM3": a short option with its value joined on.
  const OptionRow* joined = !row && arg[1] != '-' ? OptionNamed(arg.substr(0, 2)) : nullptr;
  if (joined && joined->value && joined->value[0] != '[') {
    row = joined;
    name = arg.substr(0, 2);
    value = arg.substr(2);
  } else if (!row) {
    error = "unknown option " + arg + OptionHint(args, i);
  } else if (!row->value && eq != std::string::npos) {
    error = "option " + name + " takes no value";
  } else if (row->value && eq != std::string::npos) {
    value = arg.substr(eq + 1);
  } else if (!value.empty()) {
    // joined on
  } else if (row->value && i + 1 < args.size() &&
             (row->value[0] != '[' ||
              args[i + 1].find_first_not_of("0123456789") == std::string::npos)) {
    value = args[++i];
  }
  if (error.empty() && row->value && row->value[0] != '[' && value.empty())
    error = "option " + name + " needs a value";
  if (error.empty()) row->set(name, value, options, error);
  if (!error.empty()) return nullptr;
  options.given.emplace_back(OptionName(*row), value);
  return row;
}

// "read", "read and write", "read, write and verify".
std::string Listed(const std::vector<std::string>& words) {
  std::string text;
  for (std::size_t k = 0; k < words.size(); ++k) {
    text += (k == 0 ? "" : k + 1 == words.size() ? " and " : ", ") + words[k];
  }
  return text;
}

std::string Belonging(const OptionRow& option) {
  std::vector<std::string> words;
  for (const CommandRow& row : CommandTable()) {
    if (Accepts(option, row)) words.push_back(row.name);
  }
  return std::string(OptionName(option)) + " belongs to " + Listed(words) + " only";
}

// The rules every command's line follows, the command's own among them where
// they belong in that order: the refusal, or empty.
std::string LineFault(const Options& options, const CommandRow& row) {
  const std::string word = row.name;
  const int files = FileCount(row);
  const bool more = TakesMore(row);
  if (options.noLog && !options.logFile.empty()) return "--log and --no-log do not go together";
  if (row.needsPort && options.port.empty()) return word + " needs the port: -p PORT";
  if (options.ports.size() > 1 && !row.manyPorts) {
    return word + " takes one port; write, verify, blank and read take -p more than once";
  }
  if (options.ports.size() > 1 && row.checkPorts) {
    std::string fault = row.checkPorts(options);
    if (!fault.empty()) return fault;
  }
  if (row.needsChip && !options.chip) {
    return word + " needs the chip type: -c " + ChipNames("|", "|");
  }
  if (static_cast<int>(options.files.size()) < files ||
      (!more && static_cast<int>(options.files.size()) != files)) {
    return word + " takes " + (more ? "at least " : "") + std::to_string(files) +
           (files == 1 ? " file" : " files") + ", got " + std::to_string(options.files.size());
  }
  std::string twice = PortGivenTwice(options.ports);
  if (!twice.empty()) return twice;
  return row.check ? row.check(options) : std::string();
}

// The command line as a whole: every option given belongs to the command,
// and the command has what it needs.
bool Complete(const Options& options, const std::vector<const OptionRow*>& given,
              std::string& error) {
  const CommandRow* row = RowOf(options.command);
  if (!row) {
    error = "no command given";
    return false;
  }
  for (const OptionRow* option : given) {
    if (!Accepts(*option, *row)) {
      error = Belonging(*option);
      return false;
    }
  }
  error = LineFault(options, *row);
  return error.empty();
}

}  // namespace

std::string CommandLineFor(const Options& options, Command command,
                           std::initializer_list<const char*> leaveOut) {
  std::string line = std::string("romtool ") + CommandWord(command);
  for (const auto& [name, value] : options.given) {
    const OptionRow* row = OptionNamed(name);
    const bool left = std::any_of(leaveOut.begin(), leaveOut.end(),
                                  [&name](const char* out) { return name == out; });
    if (left || !row || !row->help || !Accepts(*row, *RowOf(command))) continue;
    line += " " + std::string(row->shortName ? row->shortName : row->longName);
    if (row->value) line += " " + ShellWord(value);
  }
  for (const std::string& file : options.files) line += " " + ShellWord(file);
  return line;
}

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
  options = Options();
  std::vector<const OptionRow*> given;
  bool onlyFiles = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (onlyFiles) {
      options.files.push_back(arg);
    } else if (arg == "--") {
      onlyFiles = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      const OptionRow* option = TakeOption(args, i, options, error);
      if (!option) return false;
      given.push_back(option);
    } else if (arg.empty()) {
      // '' from an unset shell variable: no file has that name, so refuse
      // before a chip is read for nothing.
      error = "an empty word where a file name goes (an unset variable?)";
      return false;
    } else if (options.command == Command::None) {
      options.command = CommandNamed(arg);
      if (options.command == Command::None) {
        error = "unknown command '" + arg + "'" + CommandHint(args, i);
        return false;
      }
    } else {
      options.files.push_back(arg);
    }
  }
  if (options.help || options.version) return true;
  return Complete(options, given, error);
}

}  // namespace romtool
