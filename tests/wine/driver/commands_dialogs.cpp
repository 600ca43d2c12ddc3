// Message boxes and the open and save dialogs of the program.
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "tests/wine/driver/find.h"
#include "tests/wine/driver/input.h"
#include "tests/wine/driver/utf8.h"

namespace romdrive {
namespace {

constexpr int kFilterCombo = 0x470;  // cmb1
constexpr int kNameCombo = 0x47C;    // cmb13
constexpr int kNameEdit = 0x480;     // edt1
constexpr int kMessageTextId = 0xFFFF;

bool IsFileDialog(HWND dialog) {
  return GetDlgItem(dialog, kFilterCombo) != nullptr || GetDlgItem(dialog, kNameEdit) != nullptr;
}

HWND WaitDialog(const Session& session, const Words& words, bool file) {
  return WaitFor(IntArg(words, 1, session.defaultTimeout), [&]() -> HWND {
    HWND dialog = FindDialog(session);
    return dialog != nullptr && IsFileDialog(dialog) == file ? dialog : nullptr;
  });
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    children.push_back(c);
  }
  return children;
}

// The icon a message box shows, told by its pixels: each system icon is drawn
// on the box's background and compared with what the screen shows.
std::wstring IconOf(HWND iconControl, long long& score) {
  RECT rect{};
  GetWindowRect(iconControl, &rect);
  const int w = rect.right - rect.left;
  const int h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0 || !IsWindowVisible(iconControl)) return L"none";
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  auto capture = [&](auto&& paint) {
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    paint();
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + w * h);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    return pixels;
  };
  const std::vector<DWORD> shown =
      capture([&] { BitBlt(memory, 0, 0, w, h, screen, rect.left, rect.top, SRCCOPY); });
  const struct {
    const wchar_t* name;
    LPCWSTR id;
  } candidates[] = {{L"hand", IDI_HAND},
                    {L"question", IDI_QUESTION},
                    {L"exclamation", IDI_EXCLAMATION},
                    {L"information", IDI_ASTERISK}};
  std::wstring best = L"unknown";
  score = -1;
  for (const auto& candidate : candidates) {
    HICON icon = LoadIconW(nullptr, candidate.id);
    const std::vector<DWORD> drawn = capture([&] {
      const DWORD back = shown[0];  // 0x00RRGGBB: the box's background
      HBRUSH brush = CreateSolidBrush(RGB((back >> 16) & 0xFF, (back >> 8) & 0xFF, back & 0xFF));
      RECT all{0, 0, w, h};
      FillRect(memory, &all, brush);
      DeleteObject(brush);
      DrawIconEx(memory, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    });
    long long difference = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
      for (int shift = 0; shift < 24; shift += 8) {
        difference += std::abs(static_cast<int>((shown[i] >> shift) & 0xFF) -
                               static_cast<int>((drawn[i] >> shift) & 0xFF));
      }
    }
    if (score < 0 || difference < score) {
      score = difference;
      best = candidate.name;
    }
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return best;
}

// On a loaded machine the box may not have painted its icon yet: the icon is
// read again until one system icon matches it exactly, for up to 10 s (a
// machine busy with parallel builds was seen to need more than 2 s).
std::wstring SettledIconOf(HWND iconControl, long long& score) {
  std::wstring icon = IconOf(iconControl, score);
  for (int attempt = 0; attempt < 100 && score != 0; ++attempt) {
    Sleep(100);
    icon = IconOf(iconControl, score);
  }
  return icon;
}

std::string Buttons(HWND dialog) {
  std::string list = "[";
  for (HWND child : Children(dialog)) {
    if (ClassOf(child) != L"Button" || !IsWindowVisible(child)) continue;
    if (list.size() > 1) list += ",";
    list += Json().Int("id", GetDlgCtrlID(child)).Str("text", TextOf(child)).Done();
  }
  return list + "]";
}

std::string WindowStates(const Session& session) {
  Json json;
  for (const wchar_t* name : {L"main", L"buffer"}) {
    HWND w = ResolveWindow(session, name);
    const std::string key = ToUtf8(name) + "_enabled";
    json.Bool(key.c_str(), w != nullptr && IsWindowEnabled(w));
  }
  return json.Done();
}

Reply MessageBoxInfo(Session& session, const Words& words) {
  HWND box = WaitDialog(session, words, false);
  if (box == nullptr) return Err("no message box");
  Sleep(50);  // let it paint before its icon is read
  std::wstring text;
  HWND iconControl = nullptr;
  for (HWND child : Children(box)) {
    if (ClassOf(child) != L"Static") continue;
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      iconControl = child;
    } else if (GetDlgCtrlID(child) == kMessageTextId || text.empty()) {
      text = TextOf(child);
    }
  }
  long long score = 0;
  const std::wstring icon = iconControl ? SettledIconOf(iconControl, score) : L"none";
  HWND owner = GetWindow(box, GW_OWNER);
  return Ok(Json()
                .Int("hwnd", static_cast<long long>(reinterpret_cast<UINT_PTR>(box)))
                .Str("caption", TextOf(box))
                .Str("text", text)
                .Str("icon", icon)
                .Int("icon_score", score)
                .Raw("buttons", Buttons(box))
                .Str("owner", owner ? TextOf(owner) : L"")
                .Raw("windows", WindowStates(session))
                .Done());
}

int ButtonId(const std::wstring& name) {
  if (name == L"ok") return IDOK;
  if (name == L"cancel") return IDCANCEL;
  if (name == L"yes") return IDYES;
  if (name == L"no") return IDNO;
  return static_cast<int>(std::wcstol(name.c_str(), nullptr, 0));
}

// Presses a button of the open dialog and waits for the dialog to go.
bool PressButton(const Session& session, HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (button == nullptr) return false;
  if (WaitReachable(button, CentreOf(button), 1000)) {
    Click(CentreOf(button), false, false, button);
  } else {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  }
  WaitFor(5000, [&]() -> HWND { return IsWindow(dialog) ? nullptr : dialog; });
  Settle(session);
  return true;
}

Reply Answer(Session& session, const Words& words) {
  if (words.size() < 2) return Err("usage: answer ok|yes|no|cancel");
  HWND box = WaitDialog(session, Words{}, false);
  if (box == nullptr) return Err("no message box");
  if (!PressButton(session, box, ButtonId(words[1]))) return Err("no such button");
  return Ok(Json().Bool("closed", !IsWindow(box)).Done());
}

std::vector<std::wstring> ComboItems(HWND combo) {
  std::vector<std::wstring> items;
  DWORD_PTR count = 0;
  SendMessageTimeoutW(combo, CB_GETCOUNT, 0, 0, SMTO_BLOCK, 5000, &count);
  for (DWORD_PTR i = 0; i < count; ++i) {
    wchar_t buffer[512] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer), SMTO_BLOCK, 5000,
                        &ignored);
    items.push_back(buffer);
  }
  return items;
}

HWND NameField(HWND dialog) {
  HWND name = GetDlgItem(dialog, kNameCombo);
  return name != nullptr ? name : GetDlgItem(dialog, kNameEdit);
}

Reply FileDialogInfo(Session& session, const Words& words) {
  HWND dialog = WaitDialog(session, words, true);
  if (dialog == nullptr) return Err("no file dialog");
  HWND filter = GetDlgItem(dialog, kFilterCombo);
  DWORD_PTR selected = static_cast<DWORD_PTR>(-1);
  if (filter) SendMessageTimeoutW(filter, CB_GETCURSEL, 0, 0, SMTO_BLOCK, 5000, &selected);
  HWND owner = GetWindow(dialog, GW_OWNER);
  return Ok(Json()
                .Int("hwnd", static_cast<long long>(reinterpret_cast<UINT_PTR>(dialog)))
                .Str("title", TextOf(dialog))
                .Raw("filters", StrArray(filter ? ComboItems(filter) : std::vector<std::wstring>{}))
                .Int("filter", static_cast<int>(selected))
                .Str("name", NameField(dialog) ? TextOf(NameField(dialog)) : L"")
                .Raw("buttons", Buttons(dialog))
                .Str("owner", owner ? TextOf(owner) : L"")
                .Raw("windows", WindowStates(session))
                .Done());
}

// file-choose FILTER NAME: picks the filter entry (-1 keeps it), types the
// name and presses the dialog's Open or Save button.
Reply FileChoose(Session& session, const Words& words) {
  if (words.size() < 3) return Err("usage: file-choose FILTER NAME");
  HWND dialog = WaitDialog(session, Words{}, true);
  if (dialog == nullptr) return Err("no file dialog");
  const int index = IntArg(words, 1, -1);
  DWORD_PTR ignored = 0;
  if (index >= 0) {
    HWND filter = GetDlgItem(dialog, kFilterCombo);
    if (filter == nullptr) return Err("no filter list");
    SendMessageTimeoutW(filter, CB_SETCURSEL, static_cast<WPARAM>(index), 0, SMTO_BLOCK, 5000,
                        &ignored);
    // A choice made with the mouse notifies both; the dialog takes the new
    // filter (and the index it returns) from CBN_SELENDOK.
    for (WORD notice : {CBN_SELCHANGE, CBN_SELENDOK}) {
      SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(kFilterCombo, notice),
                          reinterpret_cast<LPARAM>(filter), SMTO_BLOCK, 5000, &ignored);
    }
  }
  HWND name = NameField(dialog);
  if (name == nullptr) return Err("no name field");
  SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(words[2].c_str()), SMTO_BLOCK,
                      5000, &ignored);
  PressButton(session, dialog, IDOK);
  return Ok(Json().Bool("closed", !IsWindow(dialog)).Done());
}

Reply FileCancel(Session& session, const Words&) {
  HWND dialog = WaitDialog(session, Words{}, true);
  if (dialog == nullptr) return Err("no file dialog");
  PressButton(session, dialog, IDCANCEL);
  return Ok(Json().Bool("closed", !IsWindow(dialog)).Done());
}

}  // namespace

void AddDialogCommands(CommandTable& table) {
  table["msgbox"] = MessageBoxInfo;
  table["answer"] = Answer;
  table["file-dialog"] = FileDialogInfo;
  table["file-choose"] = FileChoose;
  table["file-cancel"] = FileCancel;
}

}  // namespace romdrive
