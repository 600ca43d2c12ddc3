// The commands, a file each in cli/commands/; cli/command_rows.cpp gives
// each its row. Each returns the process's exit code.
#pragma once

#include <string>

#include "cli/base/exit_code.h"
#include "cli/base/streams.h"
#include "cli/command_line/options.h"

namespace romtool {

int PortsCommand(const Options& options, const Streams& streams);
int BlankCommand(const Options& options, const Streams& streams);
int ReadCommand(const Options& options, const Streams& streams);
int WriteCommand(const Options& options, const Streams& streams);
int VerifyCommand(const Options& options, const Streams& streams);
int ConvertCommand(const Options& options, const Streams& streams);
int DumpCommand(const Options& options, const Streams& streams);
int SumCommand(const Options& options, const Streams& streams);
int LogCommand(const Options& options, const Streams& streams);
int LinkCommand(const Options& options, const Streams& streams);
int PackCommand(const Options& options, const Streams& streams);
int SplitCommand(const Options& options, const Streams& streams);
int JoinCommand(const Options& options, const Streams& streams);
int IdentCommand(const Options& options, const Streams& streams);
int CheckCommand(const Options& options, const Streams& streams);
int MapCommand(const Options& options, const Streams& streams);

// The commands' own rules on their lines (CommandCheck), each in its
// command's file: the refusal, or empty.
std::string ReadPortsCheck(const Options& options);
std::string WriteCheck(const Options& options);
std::string PackCheck(const Options& options);
std::string IdentCheck(const Options& options);
std::string MapCheck(const Options& options);

}  // namespace romtool
