// Starting the program, finding its windows, their geometry, closing them.
#include "tests/wine/driver/find.h"
#include "tests/wine/driver/input.h"
#include "tests/wine/driver/utf8.h"

namespace romdrive {
namespace {

std::string WindowJson(HWND hwnd) {
  RECT outer{};
  RECT client{};
  GetWindowRect(hwnd, &outer);
  GetClientRect(hwnd, &client);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  return Json()
      .Int("hwnd", static_cast<long long>(reinterpret_cast<UINT_PTR>(hwnd)))
      .Str("title", TextOf(hwnd))
      .Int("x", outer.left)
      .Int("y", outer.top)
      .Int("outer_w", outer.right - outer.left)
      .Int("outer_h", outer.bottom - outer.top)
      .Int("w", client.right)
      .Int("h", client.bottom)
      .Int("client_x", origin.x)
      .Int("client_y", origin.y)
      .Bool("visible", IsWindowVisible(hwnd) != FALSE)
      .Bool("enabled", IsWindowEnabled(hwnd) != FALSE)
      .Bool("minimised", IsIconic(hwnd) != FALSE)
      .Int("style", static_cast<long long>(GetWindowLongW(hwnd, GWL_STYLE)) & 0xFFFFFFFFLL)
      .Int("exstyle", static_cast<long long>(GetWindowLongW(hwnd, GWL_EXSTYLE)) & 0xFFFFFFFFLL)
      .Done();
}

Reply Start(Session& session, const Words& words) {
  if (words.size() < 2) return Err("usage: start PATH");
  std::wstring command = L"\"" + words[1] + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return Err("CreateProcess failed: " + std::to_string(GetLastError()));
  }
  CloseHandle(info.hThread);
  if (session.process != nullptr) CloseHandle(session.process);
  session.process = info.hProcess;
  session.pid = info.dwProcessId;
  return Ok(Json().Int("pid", info.dwProcessId).Done());
}

// start-timed PATH [ms]: starts the program and measures the time until its
// main window is shown.
Reply StartTimed(Session& session, const Words& words) {
  LARGE_INTEGER frequency{};
  LARGE_INTEGER begin{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&begin);
  Reply started = Start(session, words);
  if (!started.ok) return started;
  HWND main = nullptr;
  const DWORD limit = static_cast<DWORD>(IntArg(words, 2, session.defaultTimeout));
  const DWORD start = GetTickCount();
  while (main == nullptr && GetTickCount() - start < limit) {
    HWND found = ResolveWindow(session, L"main");
    if (found != nullptr && IsWindowVisible(found))
      main = found;
    else
      Sleep(1);
  }
  if (main == nullptr) return Err("the main window did not show");
  LARGE_INTEGER end{};
  QueryPerformanceCounter(&end);
  const double ms = 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) /
                    static_cast<double>(frequency.QuadPart);
  return Ok(Json().Int("pid", session.pid).Int("ms", static_cast<long long>(ms + 0.5)).Done());
}

Reply Attach(Session& session, const Words& words) {
  HWND main = WaitFor(IntArg(words, 1, session.defaultTimeout),
                      [&] { return ResolveWindow(Session{}, L"main"); });
  if (main == nullptr) return Err("no program window");
  session.pid = ProcessOf(main);
  session.process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, session.pid);
  return Ok(Json().Int("pid", session.pid).Done());
}

Reply WaitWindow(Session& session, const Words& words) {
  if (words.size() < 2) return Err("usage: wait-window NAME|TITLE [timeout-ms]");
  HWND hwnd = WaitFor(IntArg(words, 2, session.defaultTimeout), [&] {
    HWND w = ResolveWindow(session, words[1]);
    return w != nullptr && IsWindowVisible(w) ? w : nullptr;
  });
  if (hwnd == nullptr) return Err("no such window");
  Settle(session);  // the program may still be building its windows
  return Ok(WindowJson(hwnd));
}

Reply Geometry(Session& session, const Words& words) {
  if (words.size() < 2) return Err("usage: geometry WINDOW");
  HWND hwnd = ResolveWindow(session, words[1]);
  if (hwnd == nullptr) return Err("no such window");
  return Ok(WindowJson(hwnd));
}

Reply Close(Session& session, const Words& words) {
  if (words.size() < 2) return Err("usage: close WINDOW");
  HWND hwnd = ResolveWindow(session, words[1]);
  if (hwnd == nullptr) return Err("no such window");
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
  Settle(session);
  return Ok();
}

Reply WaitExit(Session& session, const Words& words) {
  if (session.process == nullptr) return Err("no process started or attached");
  const DWORD wait = WaitForSingleObject(
      session.process, static_cast<DWORD>(IntArg(words, 1, session.defaultTimeout)));
  if (wait != WAIT_OBJECT_0) return Err("still running");
  DWORD code = 0;
  GetExitCodeProcess(session.process, &code);
  return Ok(Json().Int("code", code).Done());
}

Reply Kill(Session& session, const Words&) {
  if (session.process == nullptr) return Err("no process");
  TerminateProcess(session.process, 99);
  WaitForSingleObject(session.process, 5000);
  return Ok();
}

// Every child of a window in creation (z) order.
Reply Children(Session& session, const Words& words) {
  if (words.size() < 2) return Err("usage: children WINDOW");
  HWND window = ResolveWindow(session, words[1]);
  if (window == nullptr) return Err("no such window");
  std::string list = "[";
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (list.size() > 1) list += ",";
    list += Json().Int("id", GetDlgCtrlID(child)).Str("class", ClassOf(child)).Done();
  }
  return Ok(Json().Raw("children", list + "]").Done());
}

Reply Focus(Session& session, const Words&) {
  HWND main = ResolveWindow(session, L"main");
  if (main == nullptr) return Err("no program window");
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info)) return Err("no info");
  Json json;
  json.Int("focus_id", info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : -1)
      .Str("focus_class", info.hwndFocus ? ClassOf(info.hwndFocus) : L"")
      .Str("active", info.hwndActive ? TextOf(info.hwndActive) : L"");
  HWND foreground = GetForegroundWindow();
  json.Str("foreground", foreground ? TextOf(foreground) : L"");
  return Ok(json.Done());
}

Reply Key(Session& session, const Words& words) {
  for (std::size_t i = 1; i < words.size(); ++i) {
    if (!PressKey(words[i])) return Err("unknown key");
    Settle(session);
  }
  return Ok();
}

Reply Type(Session& session, const Words& words) {
  if (words.size() < 2) return Err("usage: type TEXT");
  TypeText(words[1]);
  Settle(session);
  return Ok();
}

Reply Activate(Session& session, const Words& words) {
  if (words.size() < 2) return Err("usage: activate WINDOW");
  HWND hwnd = ResolveWindow(session, words[1]);
  if (hwnd == nullptr) return Err("no such window");
  // Clicking the title bar is what a user does to bring a window forward.
  RECT outer{};
  GetWindowRect(hwnd, &outer);
  POINT point{outer.left + 40, outer.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2};
  Click(point);
  Settle(session);
  return Ok();
}

// Drags a window by its title bar, as a user moves it.
Reply DragTitle(Session& session, const Words& words) {
  if (words.size() < 4) return Err("usage: drag-title WINDOW DX DY");
  HWND hwnd = ResolveWindow(session, words[1]);
  if (hwnd == nullptr) return Err("no such window");
  RECT outer{};
  GetWindowRect(hwnd, &outer);
  const POINT from{outer.left + 60, outer.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2};
  const int dx = IntArg(words, 2, 0);
  const int dy = IntArg(words, 3, 0);
  MouseDown(from);
  Settle(session);
  constexpr int kSteps = 8;
  for (int step = 1; step <= kSteps; ++step) {
    MouseMove(POINT{from.x + dx * step / kSteps, from.y + dy * step / kSteps});
    Sleep(15);
  }
  MouseUp(POINT{from.x + dx, from.y + dy});
  Settle(session);
  return Ok(WindowJson(hwnd));
}

}  // namespace

void AddWindowCommands(CommandTable& table) {
  table["start"] = Start;
  table["start-timed"] = StartTimed;
  table["attach"] = Attach;
  table["wait-window"] = WaitWindow;
  table["geometry"] = Geometry;
  table["visible"] = Geometry;
  table["close"] = Close;
  table["wait-exit"] = WaitExit;
  table["kill"] = Kill;
  table["children"] = Children;
  table["focus"] = Focus;
  table["key"] = Key;
  table["type"] = Type;
  table["activate"] = Activate;
  table["drag-title"] = DragTitle;
}

}  // namespace romdrive
