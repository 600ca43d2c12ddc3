#include "cli/command_line/habits.h"

#include <algorithm>
#include <cctype>

#include "cli/command_line/command_table.h"
#include "cli/command_line/option_table.h"

namespace romtool {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Edits from `a` to `b`: letters put in, left out, changed, or two
// neighbours swapped ("raed").
int EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<int>(i);
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min(
          {d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

bool Given(const std::vector<std::string>& args, const char* shortName, const char* longName) {
  return std::any_of(args.begin(), args.end(), [&](const std::string& arg) {
    return arg == shortName || arg == longName || arg.rfind(std::string(longName) + "=", 0) == 0 ||
           (arg.size() > 2 && arg.rfind(shortName, 0) == 0);
  });
}

// "romtool WORD" (no word: "romtool") and `args` without args[skip] (the word or flag that stood
// for the command), with -p PORT and -c CHIP where they are missing and the
// command needs them.
std::string CommandLine(const std::string& word, const std::vector<std::string>& args,
                        std::size_t skip) {
  std::string line = word.empty() ? "romtool" : "romtool " + word;
  const CommandRow* row = RowOf(CommandNamed(word));
  if (row && row->needsPort && !Given(args, "-p", "--port")) line += " -p PORT";
  if (row && row->needsChip && !Given(args, "-c", "--chip")) line += " -c CHIP";
  for (std::size_t k = 0; k < args.size(); ++k) {
    if (k != skip) line += " " + ShellWord(args[k]);
  }
  return line;
}

struct Habit {
  const char* said;
  const char* command;
};

// Action flags of other programmer tools.
constexpr Habit kFlags[] = {{"-r", "read"}, {"-w", "write"}, {"-m", "verify"}, {"-b", "blank"}};
// Command words of other tools.
constexpr Habit kWords[] = {{"program", "write"},    {"burn", "write"},
                            {"prog", "write"},       {"compare", "verify"},
                            {"blankcheck", "blank"}, {"blank-check", "blank"}};

bool LooksLikeFile(const std::string& word) {
  const std::size_t dot = word.rfind('.');
  return word.find_first_of("/\\") != std::string::npos ||
         (dot != std::string::npos && dot > 0 && dot + 1 < word.size());
}

}  // namespace

// A word as a POSIX shell takes it back.
std::string ShellWord(const std::string& word) {
  if (!word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                              "0123456789-_./:=@%+,") == std::string::npos) {
    return word;
  }
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

const romprog::ChipType* ChipFamilyOf(const std::string& printed) {
  const std::string name = Upper(printed);
  // The maker's letters (M, AM, TMS, D, NMC ...) go before the 27.
  std::size_t at = name.find("27");
  if (at == std::string::npos || at > 4 ||
      !std::all_of(name.begin(), name.begin() + static_cast<long>(at),
                   [](char c) { return std::isalpha(static_cast<unsigned char>(c)); })) {
    return nullptr;
  }
  at += 2;
  if (at < name.size() && name[at] == 'C') ++at;  // CMOS; 2764 is the NMOS part of the family
  std::size_t end = at;
  while (end < name.size() && std::isdigit(static_cast<unsigned char>(name[end]))) ++end;
  const std::string size = name.substr(at, end - at);
  // After the size only a grade or speed: letters, or "-" and digits.
  const std::string rest = name.substr(end);
  if (!rest.empty() && !std::isalpha(static_cast<unsigned char>(rest[0])) && rest[0] != '-') {
    return nullptr;
  }
  for (const romprog::ChipType& type : romprog::kChipTypes) {
    if (size == std::string(type.name).substr(3)) return &type;
  }
  return nullptr;
}

std::string Nearest(const std::string& word, const std::vector<std::string>& candidates) {
  std::string best;
  int bestDistance = 3;
  for (const std::string& candidate : candidates) {
    const int distance = EditDistance(word, candidate);
    if (distance < bestDistance && distance * 2 < static_cast<int>(word.size())) {
      best = candidate;
      bestDistance = distance;
    }
  }
  return best;
}

std::string OptionHint(const std::vector<std::string>& args, std::size_t i) {
  const std::string& arg = args[i];
  for (const Habit& habit : kFlags) {
    if (arg == habit.said) {
      return "; to " + std::string(habit.command) +
             " a chip: " + CommandLine(habit.command, args, i);
    }
  }
  if (arg == "--verify" || arg == "-V") {
    const bool writing = std::find(args.begin(), args.end(), "write") != args.end();
    if (writing) {
      return "; write reads the chip back and compares by default (--no-verify leaves it out): " +
             CommandLine("", args, i);
    }
    return "; to compare a chip with a file: " + CommandLine("verify", args, i);
  }
  if (arg == "-E" || arg == "--erase") {
    return "; a 27C chip is erased by UV light, not by the programmer; then " +
           CommandLine("blank", args, i) + " checks it";
  }
  std::vector<std::string> names;
  for (const OptionRow& row : OptionTable()) {
    if (row.longName) names.push_back(row.longName);
  }
  const std::string name = arg.substr(0, arg.find('='));
  const std::string nearest = name.rfind("--", 0) == 0 ? Nearest(name, names) : "";
  return nearest.empty() ? "" : "; did you mean " + nearest + "?";
}

std::string CommandHint(const std::vector<std::string>& args, std::size_t i) {
  const std::string& word = args[i];
  if (word == "erase") {
    return ": a 27C chip is erased by UV light, not by the programmer; then " +
           CommandLine("blank", args, i) + " checks it is blank";
  }
  for (const Habit& habit : kWords) {
    if (word == habit.said) return "; it is " + CommandLine(habit.command, args, i);
  }
  std::vector<std::string> words;
  for (const CommandRow& row : CommandTable()) words.push_back(row.name);
  const std::string nearest = Nearest(word, words);
  if (!nearest.empty()) return "; did you mean " + CommandLine(nearest, args, i) + "?";
  if (LooksLikeFile(word)) {
    return ": " + word + " looks like a file, and the command comes first: " +
           CommandLine("write", args, args.size()) + " (or verify, sum, dump, convert)";
  }
  return "";
}

}  // namespace romtool
