#include "tests/wine/driver/input.h"

#include <cwctype>
#include <map>
#include <vector>

namespace romdrive {
namespace {

// Every mouse event carries its own position: a SetCursorPos alone can be
// overtaken by the pointer's old position on a freshly started desktop.
void SendMouse(POINT point, DWORD flags) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = (point.x * 65535 + (width - 1) / 2) / (width - 1);
  input.mi.dy = (point.y * 65535 + (height - 1) / 2) / (height - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof(INPUT));
}

void SendKey(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof(INPUT));
}

WORD KeyCode(const std::wstring& name) {
  static const std::map<std::wstring, WORD> keys = {
      {L"tab", VK_TAB},        {L"space", VK_SPACE},   {L"enter", VK_RETURN},
      {L"escape", VK_ESCAPE},  {L"down", VK_DOWN},     {L"up", VK_UP},
      {L"left", VK_LEFT},      {L"right", VK_RIGHT},   {L"home", VK_HOME},
      {L"end", VK_END},        {L"f4", VK_F4},         {L"delete", VK_DELETE},
      {L"backspace", VK_BACK}, {L"pagedown", VK_NEXT}, {L"pageup", VK_PRIOR}};
  auto it = keys.find(name);
  if (it != keys.end()) return it->second;
  if (name.size() == 1 && std::iswalnum(name[0])) return static_cast<WORD>(std::towupper(name[0]));
  return 0;
}

}  // namespace

POINT CentreOf(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool Reachable(HWND target, POINT point) {
  // From another process a group box that overlaps a button looks like the
  // window under the point, yet it lets clicks through; what matters is that
  // no other top-level window covers the point.
  HWND hit = WindowFromPoint(point);
  if (hit == nullptr) return false;
  RECT rect{};
  GetWindowRect(target, &rect);
  return PtInRect(&rect, point) && GetAncestor(hit, GA_ROOT) == GetAncestor(target, GA_ROOT);
}

void MouseMove(POINT point) {
  SendMouse(point, 0);
}

void MouseDown(POINT point, bool right) {
  SetCursorPos(point.x, point.y);
  SendMouse(point, 0);
  Sleep(10);
  SendMouse(point, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
}

void MouseUp(POINT point, bool right) {
  SendMouse(point, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

namespace {

HWND CaptureOf(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(thread, &info) ? info.hwndCapture : nullptr;
}

// Waits until the thread has (or no longer has) the mouse captured. Controls
// capture the mouse when the button goes down and let go when it comes up,
// so this tells when the program has taken each half of a click.
void WaitCapture(DWORD thread, bool captured, int timeoutMs) {
  const DWORD start = GetTickCount();
  while ((CaptureOf(thread) != nullptr) != captured &&
         static_cast<int>(GetTickCount() - start) < timeoutMs) {
    Sleep(5);
  }
}

}  // namespace

bool WaitReachable(HWND target, POINT point, int timeoutMs) {
  const DWORD start = GetTickCount();
  while (!Reachable(target, point)) {
    if (static_cast<int>(GetTickCount() - start) >= timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

void Click(POINT point, bool right, bool twice, HWND target) {
  const DWORD thread = target ? GetWindowThreadProcessId(target, nullptr) : 0;
  for (int n = 0; n < (twice ? 2 : 1); ++n) {
    MouseDown(point, right);
    if (thread != 0) WaitCapture(thread, true, 300);
    MouseUp(point, right);
    if (thread != 0) WaitCapture(thread, false, 300);
  }
}

bool PressKey(const std::wstring& chord) {
  std::vector<WORD> modifiers;
  std::wstring rest = chord;
  for (;;) {
    const auto plus = rest.find(L'+');
    if (plus == std::wstring::npos || plus == 0) break;
    const std::wstring modifier = rest.substr(0, plus);
    if (modifier == L"shift")
      modifiers.push_back(VK_SHIFT);
    else if (modifier == L"ctrl")
      modifiers.push_back(VK_CONTROL);
    else if (modifier == L"alt")
      modifiers.push_back(VK_MENU);
    else
      return false;
    rest = rest.substr(plus + 1);
  }
  const WORD key = KeyCode(rest);
  if (key == 0) return false;
  for (WORD m : modifiers) SendKey(m, false);
  SendKey(key, false);
  SendKey(key, true);
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) SendKey(*it, true);
  return true;
}

void TypeText(const std::wstring& text) {
  for (wchar_t c : text) {
    INPUT input[2] = {};
    for (int i = 0; i < 2; ++i) {
      input[i].type = INPUT_KEYBOARD;
      input[i].ki.wScan = c;
      input[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(2, input, sizeof(INPUT));
  }
}

}  // namespace romdrive
