// Finding the program's windows and controls from outside.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "tests/wine/driver/session.h"

namespace romdrive {

std::wstring TextOf(HWND hwnd);
std::wstring ClassOf(HWND hwnd);
DWORD ProcessOf(HWND hwnd);

// The visible or hidden top-level window of the program that satisfies `match`.
HWND FindTopLevel(const Session& session, const std::function<bool(HWND)>& match);
// "main", "buffer", a title in quotes, or a window handle in decimal.
HWND ResolveWindow(const Session& session, const std::wstring& name);
// The control with this id in either window of the program.
HWND FindControl(const Session& session, int id);
// Polls `probe` until it yields a window or `timeoutMs` passes.
HWND WaitFor(int timeoutMs, const std::function<HWND()>& probe);
// A modal dialog (class #32770) of the program, or nullptr.
HWND FindDialog(const Session& session);

// The control's rectangle in its parent's client coordinates.
RECT RectInParent(HWND control);

// Waits until the program has handled what was sent to it so far.
void Settle(const Session& session);

}  // namespace romdrive
