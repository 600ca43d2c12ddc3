// romtool's options, one row each: the names, how the value goes into
// Options, which commands take the option, and its help line.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "cli/command_line/command_table.h"
#include "cli/command_line/options.h"

namespace romtool {

// Commands as bits, for the commands an option belongs to.
using CommandSet = unsigned;
constexpr CommandSet CommandsOf(std::initializer_list<Command> commands) {
  CommandSet set = 0;
  for (Command command : commands) set |= 1u << static_cast<unsigned>(command);
  return set;
}
constexpr CommandSet kEveryCommand = ~0u;

// `value` (empty for a flag) into `options`; false with `error` set, which
// names the option as `name`, the way it was given.
using OptionSetter = bool (*)(const std::string& name, const std::string& value, Options& options,
                              std::string& error);

// Written in OptionTable() as Option(...) with what it takes and who takes it.
struct OptionRow {
  const char* shortName = nullptr;  // "-p", or nullptr
  const char* longName = nullptr;   // "--port", or nullptr
  const char* value = nullptr;      // the value's name in the help ("PORT"); nullptr for a flag
  OptionSetter set = nullptr;
  CommandSet commands = 0;                // the commands that take it
  bool CommandRow::*alsoWhere = nullptr;  // and those whose row has this set; nullptr: no more
  const char* help = nullptr;             // nullptr: listed in no command's help
};

const std::vector<OptionRow>& OptionTable();
// The long name, else the short one.
const char* OptionName(const OptionRow& option);
bool Accepts(const OptionRow& option, const CommandRow& command);

}  // namespace romtool
