// romtool's exit codes and the word the job log keeps for each.
#pragma once

#include <string>

namespace romtool {

enum ExitCode {
  kSuccess = 0,
  kChipFault = 1,    // a cell not taken, programmed cells, differences, unstable cells
  kUsageOrFile = 2,  // nothing was sent to the programmer
  kNoAnswer = 3,     // the port does not open or the programmer does not answer
  kUnstable = 4,     // read --passes: the passes differ; only their merge is kept
  kStopped = 130,    // Ctrl-C (128 + SIGINT, as shells count it)
  // ident, as MAME's -romident counts them: some files identified, none.
  kSomeIdentified = 8,
  kNoneIdentified = 9,
};

// ok, fault, file-error, no-answer, stopped; "exit-N" for a code not above.
std::string ExitWord(int code);
// What a code means in general ("usage or file error"), for the help.
std::string ExitMeaning(int code);
// Every code with its meaning: "0 success, 1 chip or data fault, ...".
std::string ExitMeanings();

}  // namespace romtool
