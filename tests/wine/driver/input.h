// Mouse and keyboard input, sent the way the hardware would send it.
#pragma once

#include <windows.h>

#include <string>

namespace romdrive {

// The centre of a window in screen coordinates.
POINT CentreOf(HWND hwnd);
// True when a click at `point` would land in `target`'s top-level window, inside `target`.
bool Reachable(HWND target, POINT point);

void MouseMove(POINT point);
void MouseDown(POINT point, bool right = false);
void MouseUp(POINT point, bool right = false);
// Waits up to timeoutMs for `target` to become reachable at `point`.
bool WaitReachable(HWND target, POINT point, int timeoutMs);
// With a target, each half of the click is awaited until its thread took it.
void Click(POINT point, bool right = false, bool twice = false, HWND target = nullptr);

// "tab", "shift+tab", "space", "enter", "escape", "down", "up", "home",
// "end", "f4", "alt+f4", "ctrl+a" or a single letter or digit.
bool PressKey(const std::wstring& name);
// Types text character by character as Unicode key strokes.
void TypeText(const std::wstring& text);

}  // namespace romdrive
