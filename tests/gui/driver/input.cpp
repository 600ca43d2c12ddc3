#include "input.h"

#include <cwctype>
#include <map>
#include <vector>

namespace romdrive {
namespace {

void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
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
  HWND hit = WindowFromPoint(point);
  return hit != nullptr && (hit == target || IsChild(target, hit));
}

void MouseDown(POINT point, bool right) {
  SetCursorPos(point.x, point.y);
  Sleep(10);
  SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
}

void MouseUp(POINT point, bool right) {
  SetCursorPos(point.x, point.y);
  SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

void Click(POINT point, bool right, bool twice) {
  MouseDown(point, right);
  MouseUp(point, right);
  if (twice) {
    MouseDown(point, right);
    MouseUp(point, right);
  }
}

bool PressKey(const std::wstring& spec) {
  std::vector<WORD> modifiers;
  std::wstring rest = spec;
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
