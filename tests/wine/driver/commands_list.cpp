// Reading the hex listing across the process boundary and choosing a row.
// <windows.h> must come before the other Win32 headers.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "tests/wine/driver/find.h"
#include "tests/wine/driver/input.h"
#include "tests/wine/driver/remote.h"
#include "tests/wine/driver/utf8.h"

namespace romdrive {
namespace {

constexpr int kListId = 100;
constexpr std::size_t kTextChars = 260;
constexpr std::size_t kTextOffset = 512;  // the text buffer follows the structure
constexpr std::size_t kBlockSize = kTextOffset + kTextChars * sizeof(wchar_t);

HWND List(const Session& session, const Words& words, std::size_t idArg) {
  return FindControl(session, IntArg(words, idArg, kListId));
}

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_BLOCK, 5000, &result);
  return static_cast<LRESULT>(result);
}

// Reads one cell through a block in the program's memory.
bool ReadCell(HWND list, RemoteBlock& block, int row, int column, std::wstring& text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.cchTextMax = static_cast<int>(kTextChars);
  item.pszText = reinterpret_cast<LPWSTR>(static_cast<char*>(block.address()) + kTextOffset);
  const wchar_t empty = L'\0';
  if (!block.Write(0, &item, sizeof(item)) || !block.Write(kTextOffset, &empty, sizeof(empty))) {
    return false;
  }
  Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.address()));
  wchar_t buffer[kTextChars] = {};
  if (!block.Read(kTextOffset, buffer, sizeof(buffer))) return false;
  buffer[kTextChars - 1] = L'\0';
  text = buffer;
  return true;
}

int ColumnCount(HWND list) {
  HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

Reply RowCount(Session& session, const Words& words) {
  HWND list = List(session, words, 1);
  if (list == nullptr) return Err("no list");
  return Ok(
      Json()
          .Int("rows", static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0)))
          .Int("selected", static_cast<int>(Send(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)))
          .Done());
}

Reply Cell(Session& session, const Words& words) {
  if (words.size() < 3) return Err("usage: cell ROW COLUMN");
  HWND list = List(session, words, 3);
  if (list == nullptr) return Err("no list");
  RemoteBlock block(ProcessOf(list), kBlockSize);
  std::wstring text;
  if (!block.ok() || !ReadCell(list, block, IntArg(words, 1, 0), IntArg(words, 2, 0), text)) {
    return Err("cannot read the program's memory");
  }
  return Ok(Json().Str("text", text).Done());
}

// Rows FROM..FROM+COUNT-1, every column: one round trip per cell, one answer.
Reply Rows(Session& session, const Words& words) {
  HWND list = List(session, words, 3);
  if (list == nullptr) return Err("no list");
  const int total = static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0));
  const int from = IntArg(words, 1, 0);
  const int count = IntArg(words, 2, total - from);
  const int columns = ColumnCount(list);
  RemoteBlock block(ProcessOf(list), kBlockSize);
  if (!block.ok()) return Err("cannot reach the program's memory");
  std::string rows = "[";
  for (int row = from; row < from + count && row < total; ++row) {
    std::vector<std::wstring> cells;
    for (int column = 0; column < columns; ++column) {
      std::wstring text;
      if (!ReadCell(list, block, row, column, text)) return Err("read failed");
      cells.push_back(text);
    }
    rows += (row > from ? "," : "") + StrArray(cells);
  }
  return Ok(Json().Raw("rows", rows + "]").Done());
}

Reply Columns(Session& session, const Words& words) {
  HWND list = List(session, words, 1);
  if (list == nullptr) return Err("no list");
  RemoteBlock block(ProcessOf(list), kBlockSize);
  if (!block.ok()) return Err("cannot reach the program's memory");
  std::string columns = "[";
  for (int n = 0; n < ColumnCount(list); ++n) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cchTextMax = static_cast<int>(kTextChars);
    column.pszText = reinterpret_cast<LPWSTR>(static_cast<char*>(block.address()) + kTextOffset);
    block.Write(0, &column, sizeof(column));
    Send(list, LVM_GETCOLUMNW, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(block.address()));
    wchar_t title[kTextChars] = {};
    block.Read(0, &column, sizeof(column));
    block.Read(kTextOffset, title, sizeof(title));
    title[kTextChars - 1] = L'\0';
    columns += (n ? "," : "") + Json().Str("title", title).Int("width", column.cx).Done();
  }
  return Ok(
      Json()
          .Raw("columns", columns + "]")
          .Int("extended", static_cast<long long>(Send(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)))
          .Done());
}

// Scrolls the row into view and clicks it, as a user would.
Reply SelectRow(Session& session, const Words& words) {
  HWND list = FindControl(session, kListId);
  if (list == nullptr) return Err("no list");
  const int row = IntArg(words, 1, -1);
  if (row < 0 || row >= static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0)))
    return Err("no such row");
  Send(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
  RemoteBlock block(ProcessOf(list), kBlockSize);
  RECT rect{};
  rect.left = LVIR_BOUNDS;
  if (!block.ok() || !block.Write(0, &rect, sizeof(rect))) return Err("cannot reach the program");
  Send(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.address()));
  block.Read(0, &rect, sizeof(rect));
  POINT point{rect.left + 40, (rect.top + rect.bottom) / 2};
  ClientToScreen(list, &point);
  const bool right = words.size() > 2 && words.back() == L"right";
  if (!WaitReachable(list, point, 2000)) {
    HWND hit = WindowFromPoint(point);
    return Err("the row is covered at " + std::to_string(point.x) + "," + std::to_string(point.y) +
               " by " + ToUtf8(hit ? ClassOf(hit) : L"nothing"));
  }
  Click(point, right, false, list);
  Settle(session);
  return Ok(
      Json()
          .Int("selected", static_cast<int>(Send(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)))
          .Done());
}

}  // namespace

void AddListCommands(CommandTable& table) {
  table["row-count"] = RowCount;
  table["cell"] = Cell;
  table["rows"] = Rows;
  table["columns"] = Columns;
  table["select-row"] = SelectRow;
}

}  // namespace romdrive
