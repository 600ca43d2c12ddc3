#include "cli/command_line/help.h"

#include <algorithm>

#include "cli/base/exit_code.h"
#include "cli/command_line/chip_names.h"
#include "cli/command_line/option_table.h"

namespace romtool {
namespace {

constexpr std::size_t kWidth = 79;
constexpr std::size_t kHelpColumn = 20;  // where an option's help line starts

// `text` in lines of at most kWidth, the first after `first` (which is
// padded to `indent`), the later ones indented by `indent`.
std::string Wrapped(std::string first, const std::string& text, std::size_t indent) {
  std::string out;
  std::string line = first;
  if (first.size() < indent) {
    line += std::string(indent - first.size(), ' ');
  } else if (!first.empty()) {
    line += ' ';
  }
  std::size_t at = 0;
  bool empty = true;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find(' ', at), text.size());
    const std::string word = text.substr(at, end - at);
    if (!empty && line.size() + 1 + word.size() > kWidth) {
      out += line + "\n";
      line = std::string(indent, ' ');
      empty = true;
    }
    line += (empty ? "" : " ") + word;
    empty = false;
    at = end + 1;
  }
  return out + line + "\n";
}

std::string ExitCodes(const CommandRow& row) {
  std::string text = "Exit codes: 0 " + (row.success ? row.success : ExitMeaning(kSuccess));
  if (row.fault) text += ", 1 " + std::string(row.fault);
  if (row.moreExits) text += ", " + std::string(row.moreExits);
  text += ", 2 " + ExitMeaning(kUsageOrFile);
  if (row.needsPort) text += ", 3 " + ExitMeaning(kNoAnswer);
  if (row.command == Command::Read) text += ", 4 " + ExitMeaning(kUnstable);
  if (row.keepsJobLog) text += ", 130 " + ExitMeaning(kStopped);
  return Wrapped("", text + ".", 0);
}

std::string OptionLine(const OptionRow& option) {
  std::string names = "  ";
  if (option.shortName) names += option.shortName + std::string(option.longName ? ", " : "");
  if (option.longName) names += option.longName;
  if (option.value) names += std::string(" ") + option.value;
  return Wrapped(names, option.help, kHelpColumn);
}

std::string CommandHelp(const CommandRow& row) {
  std::string options;
  int listed = 0;
  for (const OptionRow& option : OptionTable()) {
    if (!option.help || !Accepts(option, row)) continue;
    options += OptionLine(option);
    ++listed;
  }
  std::string usage = std::string("usage: romtool ") + row.name;
  if (row.needsPort) usage += " -p PORT";
  if (row.needsChip) usage += " -c CHIP";
  if (listed > row.needsPort + row.needsChip) usage += " [OPTIONS]";
  if (*row.files) usage += std::string(" ") + row.files;
  std::string text = usage + "\n\n" + row.summary + ".\n";
  if (listed > 0) text += "\n" + options;
  if (row.about) text += "\n" + Wrapped("", row.about, 0);
  return text + "\n" + ExitCodes(row);
}

std::string GeneralHelp() {
  std::string text = "usage: romtool COMMAND [OPTIONS] [FILES]\n\n";
  text += "Drives a serial-port " + ChipNames("/", "/") +
          " EPROM programmer and handles its image files.\n\n";
  text += "commands:\n";
  for (const CommandRow& row : CommandTable()) {
    std::string word = row.name;
    word.resize(9, ' ');
    text += "  " + word + row.summary + "\n";
  }
  return text +
         "\n'romtool COMMAND --help' describes a command; options may also stand before the\n"
         "command. --version prints the version.\n"
         "Files: .hex Intel HEX, .srec/.s19/.s28/.mot Motorola S-records, anything else raw "
         "binary.\n" +
         Wrapped("",
                 "romtool writes a chip only from an image whose every record it read and "
                 "checked. Where a file is incomplete or contradicts itself, it refuses, names "
                 "the line and the fault, and gives the option that accepts it knowingly "
                 "(--lenient).",
                 0) +
         Wrapped("", "Exit codes: " + ExitMeanings() + ".", 0) +
         "Every chip command is recorded in the job log ('romtool log').\n";
}

}  // namespace

std::string HelpText(Command command) {
  const CommandRow* row = RowOf(command);
  return row ? CommandHelp(*row) : GeneralHelp();
}

}  // namespace romtool
