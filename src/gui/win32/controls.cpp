// Creating controls and the operations on them.
// <windows.h> must come before the other Win32 headers.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "gui/win32/edit_view.h"
#include "gui/win32/image_button.h"
#include "gui/win32/text_codec.h"
#include "gui/win32/win32_toolkit.h"

namespace romprog::win32 {
namespace {

int OuterHeight(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return rect.bottom - rect.top;
}

// A drop-down list's closed height follows its item height; adjust that until
// the closed box is exactly `height` pixels. What CB_GETITEMHEIGHT reports is
// not always what CB_SETITEMHEIGHT took (Wine adds its border), so steer by
// the value last set, not by the one read back.
void FitComboHeight(HWND combo, int height) {
  auto item = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, WPARAM(-1), 0));
  for (int attempt = 0; attempt < 4; ++attempt) {
    const int difference = height - OuterHeight(combo);
    if (difference == 0) return;
    item += difference;
    SendMessageW(combo, CB_SETITEMHEIGHT, WPARAM(-1), item);
  }
}

Text WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return Narrow(text);
}

Text ComboSelection(HWND combo) {
  const auto index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return Text();
  const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return Text();
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return Narrow(text);
}

}  // namespace

const ControlInfo* Win32Toolkit::Find(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

HWND Win32Toolkit::ControlHandle(int id) const {
  const ControlInfo* info = Find(id);
  return info == nullptr ? nullptr : info->hwnd;
}

HWND Win32Toolkit::CreateChild(const ControlDesc& desc, HWND parent) {
  const int height = desc.dropHeight > 0 ? desc.dropHeight : desc.height;
  return CreateWindowExW(desc.exStyle, Widen(desc.className).c_str(), Widen(desc.text).c_str(),
                         desc.style, desc.x, desc.y, desc.width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(desc.id)), instance_,
                         nullptr);
}

void Win32Toolkit::PrepareControl(const ControlDesc& desc, const ControlInfo& info) {
  HWND hwnd = info.hwnd;
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  switch (info.kind) {
    case ControlKind::Combo:
      if (desc.dropHeight > 0) FitComboHeight(hwnd, desc.height);
      break;
    case ControlKind::Progress:
      SendMessageW(hwnd, PBM_SETRANGE32, 0, 100);
      break;
    case ControlKind::Edit:
      // The byte fields are 30 px wide and get "   3F": with the margins the
      // font asks for, Wine's wider Tahoma leaves only the first digit in view.
      SendMessageW(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(0, 0));
      break;
    case ControlKind::List: {
      const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_GRIDLINES;
      SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
      break;
    }
    default:
      break;
  }
  if (desc.picture != 0) AttachPicture(hwnd, reinterpret_cast<HBITMAP>(desc.picture));
}

bool Win32Toolkit::CreateControl(const ControlDesc& desc) {
  HWND parent = WindowHandle(lastWindow_);
  if (parent == nullptr) return false;
  Quiet quiet(*this);
  ControlInfo info{CreateChild(desc, parent), lastWindow_, desc.kind};
  if (info.hwnd == nullptr) return false;
  controls_[desc.id] = info;
  PrepareControl(desc, info);
  return true;
}

Text Win32Toolkit::GetText(int id) {
  const ControlInfo* info = Find(id);
  if (info == nullptr) return Text();
  return info->kind == ControlKind::Combo ? ComboSelection(info->hwnd) : WindowText(info->hwnd);
}

void Win32Toolkit::SetText(int id, const Text& text) {
  const ControlInfo* info = Find(id);
  if (info == nullptr) return;
  Quiet quiet(*this);
  SetWindowTextW(info->hwnd, Widen(text).c_str());
  if (info->kind == ControlKind::Edit) ShowEditEnd(info->hwnd);
}

int Win32Toolkit::GetState(int id) {
  const ControlInfo* info = Find(id);
  if (info == nullptr) return 0;
  HWND hwnd = info->hwnd;
  switch (info->kind) {
    case ControlKind::Toggle:
      return SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    case ControlKind::Combo:
      return static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
    case ControlKind::Progress:
      return static_cast<int>(SendMessageW(hwnd, PBM_GETPOS, 0, 0));
    case ControlKind::List:
      return static_cast<int>(SendMessageW(hwnd, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    default:
      return 0;
  }
}

void Win32Toolkit::SetState(int id, int value) {
  const ControlInfo* info = Find(id);
  if (info == nullptr) return;
  HWND hwnd = info->hwnd;
  Quiet quiet(*this);
  switch (info->kind) {
    case ControlKind::Toggle:
      SendMessageW(hwnd, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case ControlKind::Combo:
      SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(value), 0);
      break;
    case ControlKind::Progress:
      SendMessageW(hwnd, PBM_SETPOS, static_cast<WPARAM>(value), 0);
      break;
    case ControlKind::List: {
      LVITEMW item{};
      item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      item.state = value >= 0 ? item.stateMask : 0;
      SendMessageW(hwnd, LVM_SETITEMSTATE, value >= 0 ? WPARAM(value) : WPARAM(-1),
                   reinterpret_cast<LPARAM>(&item));
      if (value >= 0) SendMessageW(hwnd, LVM_ENSUREVISIBLE, WPARAM(value), FALSE);
      break;
    }
    default:
      break;
  }
}

void Win32Toolkit::AddItem(int id, int position, const Text& text) {
  const ControlInfo* info = Find(id);
  if (info == nullptr || info->kind != ControlKind::Combo) return;
  Quiet quiet(*this);
  const std::wstring wide = Widen(text);
  SendMessageW(info->hwnd, CB_INSERTSTRING, static_cast<WPARAM>(position),
               reinterpret_cast<LPARAM>(wide.c_str()));
}

int Win32Toolkit::CountItems(int id) {
  const ControlInfo* info = Find(id);
  if (info == nullptr) return 0;
  if (info->kind == ControlKind::Combo) {
    return static_cast<int>(SendMessageW(info->hwnd, CB_GETCOUNT, 0, 0));
  }
  if (info->kind == ControlKind::List) {
    return static_cast<int>(SendMessageW(info->hwnd, LVM_GETITEMCOUNT, 0, 0));
  }
  return 0;
}

void Win32Toolkit::EnableControl(int id, bool enable) {
  if (HWND hwnd = ControlHandle(id)) EnableWindow(hwnd, enable ? TRUE : FALSE);
}

void Win32Toolkit::SetActiveControl(int id) {
  if (HWND hwnd = ControlHandle(id)) SetFocus(hwnd);
}

void Win32Toolkit::SetControlColour(int id, int kind, std::uint32_t colour) {
  HWND hwnd = ControlHandle(id);
  if (hwnd == nullptr) return;
  if (kind == kColourText) textColours_[id] = colour;
  if (kind == kColourGrid) gridColours_[id] = colour;
  InvalidateRect(hwnd, nullptr, TRUE);
}

LRESULT Win32Toolkit::OnControlColour(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Let the system pick the brush and colours first, then override the text.
  const LRESULT brush = DefWindowProcW(hwnd, message, wParam, lParam);
  const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
  auto it = textColours_.find(id);
  if (it != textColours_.end() && Find(id) != nullptr) {
    SetTextColor(reinterpret_cast<HDC>(wParam), it->second);
  }
  return brush;
}

void Win32Toolkit::SetTooltip(int id, const Text& text) {
  const ControlInfo* info = Find(id);
  if (info == nullptr || tooltips_[info->window] == nullptr) return;
  std::wstring wide = Widen(text);
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = windows_[info->window];
  tool.uId = reinterpret_cast<UINT_PTR>(info->hwnd);
  tool.lpszText = wide.data();
  SendMessageW(tooltips_[info->window], TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

PictureHandle Win32Toolkit::PictureFromMemory(int number, const std::uint8_t* data,
                                              std::size_t size) {
  (void)number;  // every decoded picture is kept, whatever its number, until End
  HBITMAP bitmap = CreatePictureBitmap(data, size);
  if (bitmap == nullptr) return 0;
  pictures_.push_back(bitmap);
  return reinterpret_cast<PictureHandle>(bitmap);
}

}  // namespace romprog::win32
