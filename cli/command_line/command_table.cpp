#include "cli/command_line/command_table.h"

#include <string>

namespace romtool {

const CommandRow* RowOf(Command command) {
  for (const CommandRow& row : CommandTable()) {
    if (row.command == command) return &row;
  }
  return nullptr;
}

Command CommandNamed(const std::string& word) {
  for (const CommandRow& row : CommandTable()) {
    if (word == row.name) return row.command;
  }
  return Command::None;
}

const char* CommandWord(Command command) {
  const CommandRow* row = RowOf(command);
  return row ? row->name : "";
}

int FileCount(const CommandRow& row) {
  const std::string files = row.files;
  if (files.empty()) return 0;
  int count = 1;
  for (char c : files) count += c == ' ';
  return count;
}

bool TakesMore(const CommandRow& row) {
  return std::string(row.files).find("...") != std::string::npos;
}

}  // namespace romtool
