// romtool's commands, one row each: the word, what runs it, what it needs
// and what its exit codes mean. Parsing, the help and the dispatch in main
// read them from here.
#pragma once

#include <string>
#include <vector>

#include "cli/base/streams.h"
#include "cli/command_line/options.h"

namespace romtool {

using CommandHandler = int (*)(const Options& options, const Streams& streams);
// A command's own rule on a line the general rules let through: the refusal,
// naming what gets past it, or empty.
using CommandCheck = std::string (*)(const Options& options);

// Written in cli/command_rows.cpp as Row(...) with only what a command has
// beyond its word, handler and summary.
struct CommandRow {
  Command command = Command::None;
  const char* name = "";
  const char* summary = "";
  CommandHandler run = nullptr;
  bool needsPort = false;
  bool needsChip = false;
  bool manyPorts = false;    // takes -p more than once and works on every port at once
  bool keepsJobLog = false;  // a chip job: logged, and Ctrl-C stops it between two cells
  const char* files = "";    // the files it takes as its usage names them: "FILE", "IN OUT", ""
  const char* success = nullptr;  // what exit 0 means for it; nullptr: plain success
  const char* fault = nullptr;    // what exit 1 means; nullptr when it never exits 1
  // Its exit codes beyond 0 to 3 with their meaning ("8 some ..., 9 none"), or nullptr.
  const char* moreExits = nullptr;
  const char* about = nullptr;  // more for its help, or nullptr
  // Its own rule on several -p, once it is known to take them; nullptr: none.
  CommandCheck checkPorts = nullptr;
  // Its own rules on the rest of the line, checked last; nullptr: none.
  CommandCheck check = nullptr;
};

const std::vector<CommandRow>& CommandTable();
// nullptr for Command::None.
const CommandRow* RowOf(Command command);
// The command a word names, None for an unknown word.
Command CommandNamed(const std::string& word);
const char* CommandWord(Command command);
// How many files the row's command takes (at least, when TakesMore).
int FileCount(const CommandRow& row);
// Whether it takes more than FileCount: its usage names them "...".
bool TakesMore(const CommandRow& row);

}  // namespace romtool
