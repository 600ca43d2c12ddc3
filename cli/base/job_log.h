// The job log: one JSON line per chip command, appended to a file kept
// between runs, so what went into (or came out of) which chip can be looked
// up later; `romtool log` shows the last entries.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace romtool {

struct JobRecord {
  std::string start;  // UTC, 2026-12-07T16:05:09Z
  std::string command, port, chip, file;
  std::string base;       // --base as given ("0xE000", "auto"); empty without it
  int at = -1;            // --at: the file's first cell; -1 without it
  int atSize = 0;         // --at: the file's cells from there
  bool fileSums = false;  // the file's sums below are known
  std::uint16_t fileSum = 0;
  std::uint32_t fileCrc = 0;
  bool chipSums = false;  // the chip was read whole
  std::uint16_t chipSum = 0;
  std::uint32_t chipCrc = 0;
  int sequence = 0;  // with --repeat: the chip's number in the run, from 1
  bool hasSerial = false;
  std::uint64_t serial = 0;  // --serial: the number written into the chip
  int exitCode = 0;
  int cells = 0;          // cells that passed, over every exchange
  int cellsWritten = -1;  // cells the write confirmed; -1: the command writes none
  std::string step;       // the exchange running last ("check", "write", "verify", ...)
  int passes = 0;         // read --passes: the passes made (0: not told)
  int unstableCells = 0;  // cells that read differently between them
  int unstableBits = 0;
  std::string merged;  // where their merge was kept when FILE was not written
  std::string error;   // what ended a job that did not succeed, as romtool said it
  double seconds = 0;

  void NoteFile(const std::uint8_t* image, int size);
  void NoteChip(const std::uint8_t* chip, int size);
};

// The current time as JobRecord::start holds it.
std::string UtcNow();
std::string JobLine(const JobRecord& record);
// The value of `key` in a line of the log, quotes removed; empty when absent.
std::string LogField(const std::string& line, const std::string& key);

// $XDG_DATA_HOME/romprog/romtool-log.jsonl (~/.local/share when unset);
// %APPDATA%\romprog\romtool-log.jsonl on Windows. Empty when neither is known.
std::string DefaultLogPath();
// `chosen` (--log) unless empty, else the default.
std::string LogPath(const std::string& chosen);

// Appends `line` and a line end to `path`, making its folder when missing.
bool AppendLine(const std::string& path, const std::string& line);

// The last `count` entries of the log at `path` as a table on `out`; false
// when the file cannot be read.
bool PrintLog(const std::string& path, int count, std::FILE* out);

}  // namespace romtool
