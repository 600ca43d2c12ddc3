// The list-view operations of the hex listing, its events and its grid.
// <windows.h> must come before the other Win32 headers.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <climits>

#include "gui/win32/text_codec.h"
#include "gui/win32/win32_toolkit.h"

namespace romprog::win32 {
namespace {

constexpr int kCellChars = 260;

bool IsListEvent(UINT code) {
  switch (code) {
    case NM_CLICK:
    case NM_DBLCLK:
    case NM_RCLICK:
    case NM_RDBLCLK:
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG:
      return true;
    default:
      return false;
  }
}

bool SelectionChanged(const NMHDR& header) {
  const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
  return (change.uChanged & LVIF_STATE) != 0 &&
         ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0;
}

void DrawLine(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

}  // namespace

bool Win32Toolkit::OnNotify(int window, const NMHDR& header, LRESULT& result) {
  const int id = static_cast<int>(header.idFrom);
  const ControlInfo* info = Find(id);
  if (window < 0 || info == nullptr || info->kind != ControlKind::List ||
      info->hwnd != header.hwndFrom) {
    return false;
  }
  if (header.code == NM_CUSTOMDRAW) {
    const auto& draw = reinterpret_cast<const NMLVCUSTOMDRAW&>(header);
    result = CDRF_DODEFAULT;
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) result = CDRF_NOTIFYPOSTPAINT;
    if (draw.nmcd.dwDrawStage == CDDS_POSTPAINT) PaintGrid(info->hwnd, draw.nmcd.hdc);
    return true;
  }
  if (header.code == LVN_DELETEALLITEMS) {
    // No LVN_DELETEITEM for each of the thousands of rows, please.
    result = TRUE;
    return true;
  }
  if (IsListEvent(header.code) || (header.code == LVN_ITEMCHANGED && SelectionChanged(header))) {
    Post(Event{EventKind::Control, id, window, static_cast<int>(header.code)});
  }
  return false;
}

// The list view draws its grid in a colour of its own choosing; draw the
// lines again, on the same pixels, in the colour the program asked for.
void Win32Toolkit::PaintGrid(HWND list, HDC dc) const {
  auto colour = gridColours_.find(GetDlgCtrlID(list));
  if (colour == gridColours_.end()) return;
  RECT client{};
  GetClientRect(list, &client);
  HWND headerWindow = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  RECT headerRect{};
  if (headerWindow != nullptr && IsWindowVisible(headerWindow)) {
    GetWindowRect(headerWindow, &headerRect);
    MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&headerRect), 2);
  }
  const int top = headerRect.bottom > 0 ? headerRect.bottom : 0;
  POINT origin{};
  SendMessageW(list, LVM_GETORIGIN, 0, reinterpret_cast<LPARAM>(&origin));

  HPEN pen = CreatePen(PS_SOLID, 1, colour->second);
  HGDIOBJ old = SelectObject(dc, pen);
  const int columns = headerWindow != nullptr
                          ? static_cast<int>(SendMessageW(headerWindow, HDM_GETITEMCOUNT, 0, 0))
                          : 0;
  for (int column = 0; column < columns; ++column) {
    RECT item{};
    SendMessageW(headerWindow, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&item));
    const int x = item.right - origin.x;
    if (x > 0 && x < client.right) DrawLine(dc, x, top, x, client.bottom);
  }
  const auto spacing = static_cast<DWORD>(SendMessageW(list, LVM_GETITEMSPACING, TRUE, 0));
  int rowHeight = HIWORD(spacing);
  RECT first{};
  first.left = LVIR_BOUNDS;
  const auto topIndex = SendMessageW(list, LVM_GETTOPINDEX, 0, 0);
  int y = top;
  if (SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(topIndex),
                   reinterpret_cast<LPARAM>(&first)) != 0) {
    rowHeight = first.bottom - first.top;
    y = first.top;
  }
  for (y += rowHeight - 1; rowHeight > 0 && y < client.bottom; y += rowHeight) {
    DrawLine(dc, client.left, y, client.right, y);
  }
  SelectObject(dc, old);
  DeleteObject(pen);
}

void Win32Toolkit::InsertColumn(int id, int position, const Text& title, int width) {
  HWND hwnd = ControlHandle(id);
  if (hwnd == nullptr) return;
  std::wstring wide = Widen(title);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = wide.data();
  column.cx = width;
  column.iSubItem = position;
  Quiet quiet(*this);
  SendMessageW(hwnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(position),
               reinterpret_cast<LPARAM>(&column));
}

void Win32Toolkit::DeleteAllRows(int id) {
  Quiet quiet(*this);
  if (HWND hwnd = ControlHandle(id)) SendMessageW(hwnd, LVM_DELETEALLITEMS, 0, 0);
}

int Win32Toolkit::AppendRow(int id, const Text& column0) {
  HWND hwnd = ControlHandle(id);
  if (hwnd == nullptr) return -1;
  wchar_t wide[kCellChars];
  WidenInto(column0, wide, kCellChars);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = INT_MAX;  // past the end: appended
  item.pszText = wide;
  Quiet quiet(*this);
  return static_cast<int>(SendMessageW(hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void Win32Toolkit::SetCell(int id, int row, int column, const Text& text) {
  HWND hwnd = ControlHandle(id);
  if (hwnd == nullptr) return;
  wchar_t wide[kCellChars];
  WidenInto(text, wide, kCellChars);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = wide;
  Quiet quiet(*this);
  SendMessageW(hwnd, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

Text Win32Toolkit::GetCell(int id, int row, int column) {
  HWND hwnd = ControlHandle(id);
  if (hwnd == nullptr) return Text();
  wchar_t buffer[kCellChars] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = kCellChars;
  SendMessageW(hwnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return Narrow(buffer);
}

void Win32Toolkit::SetRedraw(int id, bool on) {
  HWND hwnd = ControlHandle(id);
  if (hwnd == nullptr) return;
  SendMessageW(hwnd, WM_SETREDRAW, on ? TRUE : FALSE, 0);
  if (on) InvalidateRect(hwnd, nullptr, TRUE);
}

}  // namespace romprog::win32
