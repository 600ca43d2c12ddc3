#include "gui/win32/edit_view.h"

namespace romprog::win32 {

void FitEditView(HWND edit) {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  SendMessageW(edit, EM_SETSEL, 0, 0);
  SendMessageW(edit, EM_SCROLLCARET, 0, 0);
  SendMessageW(edit, EM_SETSEL, start, end);
  SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

void ShowEditEnd(HWND edit) {
  const auto length = static_cast<WPARAM>(GetWindowTextLengthW(edit));
  SendMessageW(edit, EM_SETSEL, length, static_cast<LPARAM>(length));
  SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

}  // namespace romprog::win32
