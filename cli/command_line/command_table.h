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

struct CommandRow {
  Command command;
  const char* name;
  const char* summary;
  CommandHandler run;
  bool needsPort;
  bool needsChip;
  const char* files;    // the files it takes as its usage names them: "FILE", "IN OUT", ""
  bool keepsJobLog;     // a chip job: logged, and Ctrl-C stops it between two cells
  const char* success;  // what exit 0 means for it; nullptr: plain success
  const char* fault;    // what exit 1 means; nullptr when it never exits 1
  const char* about;    // more for its help, or nullptr
  // Its exit codes beyond 0 to 3 with their meaning ("8 some ..., 9 none"), or nullptr.
  const char* moreExits = nullptr;
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
