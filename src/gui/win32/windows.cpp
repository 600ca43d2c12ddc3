// Top-level windows, the window procedure and the event queue.
// <windows.h> must come before the other Win32 headers.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "gui/win32/edit_view.h"
#include "gui/win32/text_codec.h"
#include "gui/win32/win32_toolkit.h"

namespace romprog::win32 {
namespace {

constexpr wchar_t kClassName[] = L"RomprogWindow";
constexpr int kIconResource = 1;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* kit = reinterpret_cast<Win32Toolkit*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (kit == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  return kit->HandleMessage(hwnd, message, wParam, lParam);
}

// The outer size of a window whose client area is width x height.
SIZE OuterSize(DWORD style, DWORD exStyle, int width, int height) {
  RECT rect{0, 0, width, height};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// Enter and Escape would reach the dialog manager as IDOK (1) and IDCANCEL
// (2), which are the open and save buttons here; only Tab navigation is wanted.
bool IsDialogKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP && msg.message != WM_CHAR) return true;
  return msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE;
}

}  // namespace

Win32Toolkit::Win32Toolkit(HINSTANCE instance) : instance_(instance) {}

Win32Toolkit::~Win32Toolkit() {
  End();
}

bool Win32Toolkit::RegisterWindowClass() {
  if (windowClass_ != 0) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(kIconResource));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = kClassName;
  windowClass_ = RegisterClassExW(&wc);
  return windowClass_ != 0;
}

bool Win32Toolkit::OpenWindow(int window, int x, int y, int width, int height, const Text& title,
                              std::uint32_t style, bool hidden) {
  if (window < 0 || window > 1 || windows_[window] != nullptr) return false;
  if (!RegisterWindowClass()) return false;
  const SIZE outer = OuterSize(style, 0, width, height);
  HWND hwnd = CreateWindowExW(0, kClassName, Widen(title).c_str(), style, x, y, outer.cx, outer.cy,
                              nullptr, nullptr, instance_, this);
  if (hwnd == nullptr) return false;
  windows_[window] = hwnd;
  lastWindow_ = window;
  tooltips_[window] =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, instance_, nullptr);
  if (!hidden) {
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
  }
  return true;
}

HWND Win32Toolkit::WindowHandle(int window) const {
  return window >= 0 && window < 2 ? windows_[window] : nullptr;
}

int Win32Toolkit::WindowNumber(HWND hwnd) const {
  for (int n = 0; n < 2; ++n) {
    if (windows_[n] != nullptr && windows_[n] == hwnd) return n;
  }
  return -1;
}

void Win32Toolkit::Post(const Event& event) {
  if (quiet_ > 0) return;
  // While a chip command runs the windows take no input, so a control event
  // then is a stray one; a close request is not input and is taken, like any
  // event, once the command has ended.
  if (busy_ && event.kind != EventKind::Close) return;
  events_.push_back(event);
}

LRESULT Win32Toolkit::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const int window = WindowNumber(hwnd);
  switch (message) {
    case WM_CLOSE:
      // The window stays: what a close request means is the program's call.
      if (window >= 0) Post(Event{EventKind::Close, 0, window, 0});
      return 0;
    case WM_COMMAND:
      if (lParam != 0 && window >= 0) {
        if (HIWORD(wParam) == EN_CHANGE) OnEditChange(LOWORD(wParam), lParam);
        Post(Event{EventKind::Control, LOWORD(wParam), window, HIWORD(wParam)});
      }
      return 0;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(window, *reinterpret_cast<const NMHDR*>(lParam), result)) return result;
      break;
    }
    case WM_ACTIVATE:
      if (window >= 0 && OnActivate(window, LOWORD(wParam) != WA_INACTIVE)) return 0;
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      return OnControlColour(hwnd, message, wParam, lParam);
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Win32Toolkit::OnEditChange(int id, LPARAM control) {
  const ControlInfo* info = Find(id);
  if (info != nullptr && info->kind == ControlKind::Edit &&
      info->hwnd == reinterpret_cast<HWND>(control)) {
    FitEditView(info->hwnd);
  }
}

// Like a dialog, a window gives the keyboard focus back to the control that
// had it when the window was last active.
bool Win32Toolkit::OnActivate(int window, bool active) {
  HWND hwnd = windows_[window];
  HWND focus = GetFocus();
  if (!active) {
    if (focus != nullptr && IsChild(hwnd, focus)) lastFocus_[window] = focus;
    return false;
  }
  HWND last = lastFocus_[window];
  if (last == nullptr || !IsWindow(last) || !IsChild(hwnd, last) || !IsWindowEnabled(last) ||
      !IsWindowVisible(last)) {
    return false;
  }
  SetFocus(last);
  return true;
}

bool Win32Toolkit::PumpOne() {
  MSG msg;
  const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == 0 || got == -1) return false;
  HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (root != nullptr && WindowNumber(root) >= 0 && IsDialogKey(msg) &&
      IsDialogMessageW(root, &msg)) {
    return true;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

Event Win32Toolkit::WaitForEvent() {
  while (events_.empty()) {
    // The message queue ended (WM_QUIT): treat it as closing the program.
    if (!PumpOne()) return Event{EventKind::Close, 0, 0, 0};
  }
  Event event = events_.front();
  events_.pop_front();
  return event;
}

int Win32Toolkit::WindowX(int window) {
  RECT rect{};
  if (HWND hwnd = WindowHandle(window)) GetWindowRect(hwnd, &rect);
  return rect.left;
}

int Win32Toolkit::WindowY(int window) {
  RECT rect{};
  if (HWND hwnd = WindowHandle(window)) GetWindowRect(hwnd, &rect);
  return rect.top;
}

int Win32Toolkit::WindowWidth(int window) {
  RECT rect{};
  if (HWND hwnd = WindowHandle(window)) GetClientRect(hwnd, &rect);
  return rect.right;
}

int Win32Toolkit::WindowHeight(int window) {
  RECT rect{};
  if (HWND hwnd = WindowHandle(window)) GetClientRect(hwnd, &rect);
  return rect.bottom;
}

void Win32Toolkit::ResizeWindow(int window, int x, int y, int width, int height) {
  HWND hwnd = WindowHandle(window);
  if (hwnd == nullptr) return;
  const SIZE outer =
      OuterSize(static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)),
                static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)), width, height);
  SetWindowPos(hwnd, nullptr, x, y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Toolkit::HideWindow(int window, bool hide) {
  HWND hwnd = WindowHandle(window);
  if (hwnd == nullptr) return;
  if (hide) {
    ShowWindow(hwnd, SW_HIDE);
    return;
  }
  ShowWindow(hwnd, IsIconic(hwnd) || IsZoomed(hwnd) ? SW_RESTORE : SW_SHOWNORMAL);
  SetForegroundWindow(hwnd);
}

void Win32Toolkit::ActivateWindow(int window) {
  if (HWND hwnd = WindowHandle(window)) {
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
  }
}

void Win32Toolkit::SetWindowTitle(int window, const Text& title) {
  if (HWND hwnd = WindowHandle(window)) SetWindowTextW(hwnd, Widen(title).c_str());
}

void Win32Toolkit::CloseWindow(int window) {
  HWND hwnd = WindowHandle(window);
  if (hwnd == nullptr) return;
  Quiet quiet(*this);
  DestroyWindow(hwnd);
  windows_[window] = nullptr;
  lastFocus_[window] = nullptr;
  tooltips_[window] = nullptr;  // owned by the window, gone with it
  for (auto it = controls_.begin(); it != controls_.end();) {
    it = it->second.window == window ? controls_.erase(it) : std::next(it);
  }
}

int Win32Toolkit::ScreenWidth() {
  return GetSystemMetrics(SM_CXSCREEN);
}

void Win32Toolkit::End() {
  for (int n = 0; n < 2; ++n) CloseWindow(n);
  if (windowClass_ != 0) {
    UnregisterClassW(kClassName, instance_);
    windowClass_ = 0;
  }
  for (HBITMAP picture : pictures_) DeleteObject(picture);
  pictures_.clear();
  events_.clear();
}

}  // namespace romprog::win32
