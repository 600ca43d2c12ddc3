// romdrive: drives the running romprog.exe from outside, as a user would.
//
// One command per line on stdin, one answer line per command on stdout,
// UTF-8 both ways: "ok {json}" or "err why". Words in double quotes are JSON
// strings. The test harness keeps one driver for a whole scenario.
//
//   start PATH | attach [ms]        start the program / find a running one
//   start-timed PATH [ms]           start it, answer ms until the main window shows
//   wait-window main|buffer|"TITLE" [ms]   geometry WINDOW   close WINDOW
//   wait-exit [ms]   kill   children WINDOW   focus   activate WINDOW
//   drag-title WINDOW DX DY
//   control ID   click ID [right|double]   press ID   release ID
//   text ID   state ID   items ID   select-item ID N   set-text ID "T"
//   type-into ID "T"   key tab|shift+tab|space|...   type "T"
//   row-count   cell ROW COL   rows FROM COUNT   columns   select-row N [right]
//   msgbox [ms]   answer ok|yes|no|cancel
//   file-dialog [ms]   file-choose FILTER "NAME"   file-cancel
//   sleep MS   timeout MS   quit
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "tests/wine/driver/session.h"
#include "tests/wine/driver/utf8.h"

using namespace romdrive;

namespace {

CommandTable MakeTable() {
  CommandTable table;
  AddWindowCommands(table);
  AddControlCommands(table);
  AddListCommands(table);
  AddDialogCommands(table);
  table["sleep"] = [](Session&, const Words& words) {
    Sleep(static_cast<DWORD>(IntArg(words, 1, 100)));
    return Ok();
  };
  table["timeout"] = [](Session& session, const Words& words) {
    session.defaultTimeout = IntArg(words, 1, session.defaultTimeout);
    return Ok();
  };
  return table;
}

void Answer(const Reply& reply) {
  const std::string line = (reply.ok ? "ok " : "err ") + reply.body + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

int main() {
  const CommandTable table = MakeTable();
  Session session;
  std::string line;
  while (std::getline(std::cin, line)) {
    Words words;
    std::string error;
    if (!SplitWords(line, words, error)) {
      Answer(Err(error));
      continue;
    }
    if (words.empty()) continue;
    const std::string name = ToUtf8(words[0]);
    if (name == "quit") {
      Answer(Ok());
      break;
    }
    auto it = table.find(name);
    Answer(it == table.end() ? Err("unknown command " + name) : it->second(session, words));
  }
  if (session.process != nullptr) CloseHandle(session.process);
  return 0;
}
