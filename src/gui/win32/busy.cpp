// Keeping the windows painted while a chip command holds the thread.
#include "gui/win32/win32_toolkit.h"

namespace romprog::win32 {
namespace {

// Repainting more often than this only slows the exchange down.
constexpr DWORD kKeepAliveInterval = 15;

void DropInput() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT)) {
  }
}

}  // namespace

void Win32Toolkit::SetWindowsEnabled(bool enabled) {
  for (HWND window : windows_) {
    if (window != nullptr) EnableWindow(window, enabled ? TRUE : FALSE);
  }
}

void Win32Toolkit::BeginBusy() {
  if (busy_) return;
  focusBeforeBusy_ = GetFocus();
  busy_ = true;
  lastKeepAlive_ = GetTickCount();
  SetWindowsEnabled(false);
}

void Win32Toolkit::KeepAlive() {
  if (!busy_) return;
  const DWORD now = GetTickCount();
  if (now - lastKeepAlive_ < kKeepAliveInterval) return;
  lastKeepAlive_ = now;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0,
                      PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // Clicks and keys made while busy must not act once the command ends.
  DropInput();
}

void Win32Toolkit::EndBusy() {
  if (!busy_) return;
  DropInput();
  busy_ = false;
  SetWindowsEnabled(true);
  if (focusBeforeBusy_ != nullptr && IsWindow(focusBeforeBusy_)) SetFocus(focusBeforeBusy_);
  focusBeforeBusy_ = nullptr;
}

}  // namespace romprog::win32
