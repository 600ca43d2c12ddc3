#include "cli/base/exit_code.h"

namespace romtool {
namespace {

struct ExitRow {
  int code;
  const char* word;
  const char* meaning;
};

constexpr ExitRow kExits[] = {
    {kSuccess, "ok", "success"},
    {kChipFault, "fault", "chip or data fault"},
    {kUsageOrFile, "file-error", "usage or file error"},
    {kNoAnswer, "no-answer", "port cannot be opened or programmer not answering"},
    {kUnstable, "unstable",
     "read --passes: passes differed, their merge kept beside FILE, FILE not written"},
    {kSomeIdentified, "some-identified", "ident: some files identified, not all"},
    {kNoneIdentified, "none-identified", "ident: no file identified"},
    {kStopped, "stopped", "stopped by Ctrl-C"},
};

const ExitRow* RowOf(int code) {
  for (const ExitRow& row : kExits) {
    if (row.code == code) return &row;
  }
  return nullptr;
}

}  // namespace

std::string ExitWord(int code) {
  const ExitRow* row = RowOf(code);
  return row ? row->word : "exit-" + std::to_string(code);
}

std::string ExitMeaning(int code) {
  const ExitRow* row = RowOf(code);
  return row ? row->meaning : "exit code " + std::to_string(code);
}

std::string ExitMeanings() {
  std::string text;
  for (const ExitRow& row : kExits) {
    text += (text.empty() ? "" : ", ") + std::to_string(row.code) + " " + row.meaning;
  }
  return text;
}

}  // namespace romtool
