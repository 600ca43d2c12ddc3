// Message boxes and the open and save dialogs.
// <windows.h> must come before the other Win32 headers.
// clang-format off
#include <windows.h>
#include <commdlg.h>
// clang-format on

#include "gui/win32/text_codec.h"
#include "gui/win32/win32_toolkit.h"

namespace romprog::win32 {
namespace {

constexpr DWORD kFileDialogFlags =
    OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
constexpr std::size_t kPathChars = 260;

bool OfThisProcess(HWND hwnd) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  return hwnd != nullptr && process == GetCurrentProcessId();
}

// "desc|mask|desc|mask" becomes the NUL-separated list the dialog wants,
// ending in two NULs.
std::wstring FilterList(const Text& patterns) {
  std::wstring list = Widen(patterns);
  for (wchar_t& c : list) {
    if (c == L'|') c = L'\0';
  }
  list.push_back(L'\0');
  list.push_back(L'\0');
  return list;
}

}  // namespace

Win32Toolkit::ModalScope::ModalScope(Win32Toolkit& kit) : kit_(kit), wasBusy_(kit.busy_) {
  // A box raised in the middle of a chip command must take clicks.
  if (wasBusy_) kit_.SetWindowsEnabled(true);
  HWND foreground = GetForegroundWindow();
  if (OfThisProcess(foreground)) owner_ = foreground;
  for (HWND window : kit_.windows_) {
    if (window != nullptr && window != owner_ && IsWindowVisible(window) &&
        IsWindowEnabled(window)) {
      EnableWindow(window, FALSE);
      disabled_.push_back(window);
    }
  }
}

Win32Toolkit::ModalScope::~ModalScope() {
  for (HWND window : disabled_) EnableWindow(window, TRUE);
  if (owner_ != nullptr && IsWindow(owner_)) SetForegroundWindow(owner_);
  if (wasBusy_) kit_.SetWindowsEnabled(false);
}

int Win32Toolkit::MessageBox(const Text& caption, const Text& text, unsigned flags) {
  ModalScope scope(*this);
  return ::MessageBoxW(scope.owner(), Widen(text).c_str(), Widen(caption).c_str(), flags);
}

FileDialogResult Win32Toolkit::FileDialog(bool save, const Text& title, const Text& defaultFile,
                                          const Text& patterns, int firstIndex) {
  ModalScope scope(*this);
  const std::wstring filter = FilterList(patterns);
  const std::wstring caption = Widen(title);
  std::wstring path = Widen(defaultFile);
  path.resize(kPathChars, L'\0');
  path[kPathChars - 1] = L'\0';

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = scope.owner();
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = static_cast<DWORD>(firstIndex + 1);
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(kPathChars);
  dialog.lpstrTitle = caption.c_str();
  dialog.Flags = kFileDialogFlags;
  const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return FileDialogResult{};
  return FileDialogResult{Narrow(path.c_str()), static_cast<int>(dialog.nFilterIndex) - 1};
}

FileDialogResult Win32Toolkit::OpenFileDialog(const Text& title, const Text& defaultFile,
                                              const Text& patterns, int firstIndex) {
  return FileDialog(false, title, defaultFile, patterns, firstIndex);
}

FileDialogResult Win32Toolkit::SaveFileDialog(const Text& title, const Text& defaultFile,
                                              const Text& patterns, int firstIndex) {
  return FileDialog(true, title, defaultFile, patterns, firstIndex);
}

}  // namespace romprog::win32
