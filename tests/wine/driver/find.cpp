#include "tests/wine/driver/find.h"

#include <cwchar>

namespace romdrive {
namespace {

constexpr wchar_t kMainTitle[] =
    L"\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u0430\u0442\u043e\u0440 \u041f\u0417\u0423";
constexpr wchar_t kBufferTitleStart[] = L"      \u0411\u0443\u0444\u0435\u0440;";

struct Search {
  const Session* session;
  const std::function<bool(HWND)>* match;
  HWND found;
};

BOOL CALLBACK VisitTop(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (search->session->pid != 0 && ProcessOf(hwnd) != search->session->pid) return TRUE;
  if (!(*search->match)(hwnd)) return TRUE;
  search->found = hwnd;
  return FALSE;
}

bool IsProgramWindow(HWND hwnd) {
  return ClassOf(hwnd) == L"RomprogWindow";
}

}  // namespace

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[1024] = {};
  DWORD_PTR length = 0;
  // WM_GETTEXT crosses the process boundary; a hung program must not hang us.
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_BLOCK,
                           5000, &length)) {
    return std::wstring();
  }
  return std::wstring(buffer, length);
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t buffer[256] = {};
  GetClassNameW(hwnd, buffer, 256);
  return buffer;
}

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

HWND FindTopLevel(const Session& session, const std::function<bool(HWND)>& match) {
  Search search{&session, &match, nullptr};
  EnumWindows(VisitTop, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ResolveWindow(const Session& session, const std::wstring& name) {
  if (name == L"main") {
    return FindTopLevel(session,
                        [](HWND w) { return IsProgramWindow(w) && TextOf(w) == kMainTitle; });
  }
  if (name == L"buffer") {
    return FindTopLevel(session, [](HWND w) {
      return IsProgramWindow(w) && TextOf(w).rfind(kBufferTitleStart, 0) == 0;
    });
  }
  if (name == L"dialog") return FindDialog(session);
  if (!name.empty() && iswdigit(name[0])) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoull(name.c_str(), nullptr, 10)));
  }
  return FindTopLevel(session, [&name](HWND w) { return TextOf(w) == name; });
}

HWND FindControl(const Session& session, int id) {
  for (const wchar_t* name : {L"main", L"buffer"}) {
    HWND window = ResolveWindow(session, name);
    if (window == nullptr) continue;
    if (HWND control = GetDlgItem(window, id)) return control;
  }
  return nullptr;
}

HWND WaitFor(int timeoutMs, const std::function<HWND()>& probe) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND found = probe()) return found;
    if (static_cast<int>(GetTickCount() - start) >= timeoutMs) return nullptr;
    Sleep(20);
  }
}

HWND FindDialog(const Session& session) {
  return FindTopLevel(session,
                      [](HWND w) { return ClassOf(w) == L"#32770" && IsWindowVisible(w); });
}

RECT RectInParent(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void Settle(const Session& session) {
  if (session.process != nullptr) WaitForInputIdle(session.process, 3000);
  HWND main = ResolveWindow(session, L"main");
  // A sent message is answered when the program next looks at its queue,
  // that is once the handler of the input before it has returned; twice,
  // because input still queued is taken after sent messages.
  for (int round = 0; round < 2; ++round) {
    Sleep(20);
    DWORD_PTR result = 0;
    if (main != nullptr) SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_BLOCK, 3000, &result);
  }
}

int IntArg(const Words& words, std::size_t n, int fallback) {
  if (n >= words.size()) return fallback;
  return static_cast<int>(std::wcstol(words[n].c_str(), nullptr, 0));
}

}  // namespace romdrive
