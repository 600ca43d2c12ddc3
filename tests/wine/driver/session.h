// What the driver knows about the program it drives, and the command table.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace romdrive {

using Words = std::vector<std::wstring>;

struct Session {
  HANDLE process = nullptr;  // set by `start`
  DWORD pid = 0;             // 0: any process
  int defaultTimeout = 10000;
};

// One answer line: "ok <json>" or "err <why>".
struct Reply {
  bool ok = true;
  std::string body;
};

inline Reply Ok(const std::string& json = "{}") {
  return Reply{true, json};
}
inline Reply Err(const std::string& why) {
  return Reply{false, why};
}

using Handler = std::function<Reply(Session&, const Words&)>;
using CommandTable = std::map<std::string, Handler>;

void AddWindowCommands(CommandTable& table);
void AddControlCommands(CommandTable& table);
void AddListCommands(CommandTable& table);
void AddDialogCommands(CommandTable& table);

// Word n as an integer, or `fallback` when absent.
int IntArg(const Words& words, std::size_t n, int fallback);

}  // namespace romdrive
