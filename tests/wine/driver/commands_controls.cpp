// Looking at controls and using them: click, hold, type, choose.
// <windows.h> must come before the other Win32 headers.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "tests/wine/driver/find.h"
#include "tests/wine/driver/input.h"
#include "tests/wine/driver/utf8.h"

namespace romdrive {
namespace {

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_BLOCK, 5000, &result);
  return static_cast<LRESULT>(result);
}

bool IsToggle(HWND hwnd) {
  const LONG type = GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return ClassOf(hwnd) == L"Button" && (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX);
}

int StateOf(HWND hwnd) {
  const std::wstring cls = ClassOf(hwnd);
  if (cls == L"Button") return static_cast<int>(Send(hwnd, BM_GETCHECK));
  if (cls == L"ComboBox") return static_cast<int>(Send(hwnd, CB_GETCURSEL));
  if (cls == PROGRESS_CLASSW) return static_cast<int>(Send(hwnd, PBM_GETPOS));
  if (cls == WC_LISTVIEWW)
    return static_cast<int>(Send(hwnd, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
  return 0;
}

std::vector<std::wstring> ComboItems(HWND combo) {
  std::vector<std::wstring> items;
  const auto count = Send(combo, CB_GETCOUNT);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t buffer[512] = {};
    Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
    items.push_back(buffer);
  }
  return items;
}

HWND ControlArg(const Session& session, const Words& words, std::string& error) {
  if (words.size() < 2) {
    error = "missing control id";
    return nullptr;
  }
  HWND control = FindControl(session, IntArg(words, 1, -1));
  if (control == nullptr) error = "no such control";
  return control;
}

Reply Describe(Session& session, const Words& words) {
  std::string error;
  HWND hwnd = ControlArg(session, words, error);
  if (hwnd == nullptr) return Err(error);
  const RECT rect = RectInParent(hwnd);
  HWND parent = GetParent(hwnd);
  Json json;
  json.Int("id", GetDlgCtrlID(hwnd))
      .Str("class", ClassOf(hwnd))
      .Int("x", rect.left)
      .Int("y", rect.top)
      .Int("w", rect.right - rect.left)
      .Int("h", rect.bottom - rect.top)
      .Str("text", TextOf(hwnd))
      .Int("style", static_cast<long long>(GetWindowLongW(hwnd, GWL_STYLE)) & 0xFFFFFFFFLL)
      .Int("exstyle", static_cast<long long>(GetWindowLongW(hwnd, GWL_EXSTYLE)) & 0xFFFFFFFFLL)
      .Bool("enabled", IsWindowEnabled(hwnd) != FALSE)
      .Bool("visible", IsWindowVisible(hwnd) != FALSE)
      .Str("window", TextOf(parent))
      .Int("state", StateOf(hwnd))
      .Bool("pushed", (Send(hwnd, BM_GETSTATE) & BST_PUSHED) != 0 && ClassOf(hwnd) == L"Button");
  return Ok(json.Done());
}

Reply ClickControl(Session& session, const Words& words) {
  std::string error;
  HWND hwnd = ControlArg(session, words, error);
  if (hwnd == nullptr) return Err(error);
  const POINT centre = CentreOf(hwnd);
  const bool right = words.size() > 2 && words[2] == L"right";
  const bool twice = words.size() > 2 && words[2] == L"double";
  std::wstring method = L"mouse";
  if (WaitReachable(hwnd, centre, 1000)) {
    Click(centre, right, twice, hwnd);
  } else {
    // Covered by another window: press it the way the dialog manager would.
    PostMessageW(hwnd, BM_CLICK, 0, 0);
    method = L"bm_click";
  }
  Settle(session);
  return Ok(Json().Str("method", method).Int("state", StateOf(hwnd)).Done());
}

Reply Press(Session& session, const Words& words) {
  std::string error;
  HWND hwnd = ControlArg(session, words, error);
  if (hwnd == nullptr) return Err(error);
  if (!WaitReachable(hwnd, CentreOf(hwnd), 1000)) return Err("control is covered");
  MouseDown(CentreOf(hwnd));
  Settle(session);
  return Ok(Json().Bool("pushed", (Send(hwnd, BM_GETSTATE) & BST_PUSHED) != 0).Done());
}

Reply Release(Session& session, const Words& words) {
  std::string error;
  HWND hwnd = ControlArg(session, words, error);
  if (hwnd == nullptr) return Err(error);
  MouseUp(CentreOf(hwnd));
  Settle(session);
  return Ok(Json().Int("state", StateOf(hwnd)).Done());
}

Reply GetTextOf(Session& session, const Words& words) {
  std::string error;
  HWND hwnd = ControlArg(session, words, error);
  if (hwnd == nullptr) return Err(error);
  return Ok(Json().Str("text", TextOf(hwnd)).Done());
}

Reply GetState(Session& session, const Words& words) {
  std::string error;
  HWND hwnd = ControlArg(session, words, error);
  if (hwnd == nullptr) return Err(error);
  return Ok(Json().Int("state", StateOf(hwnd)).Bool("toggle", IsToggle(hwnd)).Done());
}

Reply Items(Session& session, const Words& words) {
  std::string error;
  HWND hwnd = ControlArg(session, words, error);
  if (hwnd == nullptr) return Err(error);
  if (ClassOf(hwnd) != L"ComboBox") return Err("not a combo box");
  return Ok(Json()
                .Raw("items", StrArray(ComboItems(hwnd)))
                .Int("selected", static_cast<int>(Send(hwnd, CB_GETCURSEL)))
                .Done());
}

// Drops the list with a click and clicks the item, as a user does.
Reply SelectItem(Session& session, const Words& words) {
  std::string error;
  HWND combo = ControlArg(session, words, error);
  if (combo == nullptr) return Err(error);
  const int index = IntArg(words, 2, -1);
  if (index < 0 || index >= static_cast<int>(Send(combo, CB_GETCOUNT))) return Err("no such item");
  std::wstring method = L"mouse";
  if (WaitReachable(combo, CentreOf(combo), 1000)) {
    Click(CentreOf(combo), false, false, combo);
    HWND list = WaitFor(2000, [&] {
      return FindTopLevel(session,
                          [](HWND w) { return ClassOf(w) == L"ComboLBox" && IsWindowVisible(w); });
    });
    if (list != nullptr) {
      const int height = static_cast<int>(Send(list, LB_GETITEMHEIGHT, 0));
      const int top = static_cast<int>(Send(list, LB_GETTOPINDEX));
      POINT point{0, (index - top) * height + height / 2};
      RECT client{};
      GetClientRect(list, &client);
      point.x = client.right / 2;
      ClientToScreen(list, &point);
      Click(point, false, false, list);
    }
    Settle(session);
  }
  if (Send(combo, CB_GETCURSEL) != index) {
    Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index));
    Send(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
         reinterpret_cast<LPARAM>(combo));
    method = L"message";
    Settle(session);
  }
  return Ok(Json()
                .Str("method", method)
                .Int("selected", static_cast<int>(Send(combo, CB_GETCURSEL)))
                .Done());
}

Reply SetText(Session& session, const Words& words) {
  std::string error;
  HWND hwnd = ControlArg(session, words, error);
  if (hwnd == nullptr) return Err(error);
  const std::wstring text = words.size() > 2 ? words[2] : L"";
  Send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  Settle(session);
  return Ok(Json().Str("text", TextOf(hwnd)).Done());
}

// Clicks into a field, selects what it holds and types over it.
Reply TypeInto(Session& session, const Words& words) {
  std::string error;
  HWND hwnd = ControlArg(session, words, error);
  if (hwnd == nullptr) return Err(error);
  if (!WaitReachable(hwnd, CentreOf(hwnd), 1000)) return Err("control is covered");
  Click(CentreOf(hwnd), false, false, hwnd);
  Settle(session);
  Send(hwnd, EM_SETSEL, 0, -1);
  TypeText(words.size() > 2 ? words[2] : L"");
  Settle(session);
  return Ok(Json().Str("text", TextOf(hwnd)).Done());
}

}  // namespace

void AddControlCommands(CommandTable& table) {
  table["control"] = Describe;
  table["click"] = ClickControl;
  table["press"] = Press;
  table["release"] = Release;
  table["text"] = GetTextOf;
  table["state"] = GetState;
  table["items"] = Items;
  table["select-item"] = SelectItem;
  table["set-text"] = SetText;
  table["type-into"] = TypeInto;
}

}  // namespace romdrive
