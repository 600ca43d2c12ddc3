#include "cli/command_table.h"

#include "cli/commands/commands.h"

namespace romtool {

const std::vector<CommandRow>& CommandTable() {
  // command, name, summary, handler, needs a port, needs a chip, files, keeps a job log,
  // what exit 0 and exit 1 mean, more for the help.
  static const std::vector<CommandRow> rows = {
      {Command::Ports, "ports", "list the serial ports present", PortsCommand, false, false, "",
       false, nullptr, nullptr, nullptr},
      {Command::Blank, "blank", "read the whole chip and count its programmed cells and bits",
       BlankCommand, true, true, "", true, "blank", "programmed cells found", nullptr},
      {Command::Read, "read", "read the chip and save it to FILE", ReadCommand, true, true, "FILE",
       true, "read and saved",
       "cells read differently between passes (FILE not written), or FILE could not be "
       "saved after the read (kept in the job log's folder)",
       nullptr},
      {Command::Write, "write",
       "check the chip can take FILE, write it, then read it back and compare", WriteCommand, true,
       true, "FILE", true, "written (or already held)", "chip fault or the chip needs erasing",
       nullptr},
      {Command::Verify, "verify", "compare the chip with FILE and list every difference",
       VerifyCommand, true, true, "FILE", true, "the chip matches", "differences found", nullptr},
      {Command::Convert, "convert", "convert an image file to another format", ConvertCommand,
       false, true, "IN OUT", false, nullptr, nullptr, nullptr},
      {Command::Dump, "dump", "show FILE as a hex listing", DumpCommand, false, true, "FILE", false,
       nullptr, nullptr, nullptr},
      {Command::Sum, "sum", "byte sum (16-bit) and CRC-32 of the chip's part of FILE", SumCommand,
       false, true, "FILE", false, nullptr, nullptr, nullptr},
      {Command::Log, "log", "show the last entries of the job log", LogCommand, false, false, "",
       false, nullptr, nullptr, nullptr},
      {Command::Link, "link", "time the line to the programmer and forecast each operation",
       LinkCommand, true, false, "", false, "the programmer answers", nullptr,
       "Reads a few hundred cells and ends the exchange by lowering RTS; prints the time per "
       "cell next to the 9600-baud line time (2.08 ms) and what each operation on each chip "
       "type (with -c, on that one only) will take. When a cell takes more than 2 ms over the "
       "line time it warns: a USB-serial adapter's latency timer is the likely cause, and it says "
       "how to set it to "
       "1 ms."},
  };
  return rows;
}

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

}  // namespace romtool
