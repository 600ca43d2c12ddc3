#include "gui/win32/image_button.h"

#include <commctrl.h>
#include <shlwapi.h>
#include <uxtheme.h>

#include <cstring>

#include "gui/win32/jpeg_picture.h"

namespace romprog::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 0x50494354;  // "PICT"

// What a picture button needs at paint time; freed with the button.
struct PictureButton {
  HBITMAP bitmap;
  SIZE size;
  DWORD comctlMajor;  // the common controls in use: visual styles need 6 or later
};

// The version of the comctl32 this process runs with (the manifest asks for 6).
DWORD ComctlMajorVersion() {
  HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
  if (comctl == nullptr) return 0;
  // Through void(*)() first: the one function type GCC lets any other convert to.
  auto get = reinterpret_cast<DLLGETVERSIONPROC>(
      reinterpret_cast<void (*)()>(GetProcAddress(comctl, "DllGetVersion")));
  if (get == nullptr) return 0;
  DLLVERSIONINFO info{};
  info.cbSize = sizeof info;
  return SUCCEEDED(get(&info)) ? info.dwMajorVersion : 0;
}

bool StylesActive(const PictureButton& button) {
  return IsAppThemed() != FALSE && button.comctlMajor >= 6;
}

bool FocusCuesShown(HWND hwnd) {
  return (SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

// Over the face the platform has just drawn: the picture centred (one pixel
// further right and down while the button is held), kept off the face's
// border, then the focus rectangle over it.
void DrawPicture(HWND hwnd, HDC dc, const PictureButton& button) {
  RECT client{};
  GetClientRect(hwnd, &client);
  const int border = StylesActive(button) ? 4 : 2;
  const RECT inside{border, border, client.right - border, client.bottom - border};
  const bool held = (SendMessageW(hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  const int shift = held ? 1 : 0;
  const int x = (client.right - button.size.cx) / 2 + shift;
  const int y = (client.bottom - button.size.cy) / 2 + shift;

  const int saved = SaveDC(dc);
  IntersectClipRect(dc, inside.left, inside.top, inside.right, inside.bottom);
  DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(button.bitmap), 0, x, y, 0, 0,
             DST_BITMAP | DSS_NORMAL);
  RestoreDC(dc, saved);
  if (GetFocus() == hwnd && FocusCuesShown(hwnd)) DrawFocusRect(dc, &inside);
}

void DrawPictureNow(HWND hwnd, const PictureButton& button) {
  if (!IsWindowVisible(hwnd)) return;
  HDC dc = GetDC(hwnd);
  if (dc == nullptr) return;
  DrawPicture(hwnd, dc, button);
  ReleaseDC(hwnd, dc);
}

// Messages after which the button control may have drawn its face anew
// outside WM_PAINT (pressing, focus, hot tracking, checking).
bool RedrawsFace(UINT message) {
  switch (message) {
    case BM_SETSTATE:
    case BM_SETCHECK:
    case BM_SETSTYLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_UPDATEUISTATE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_CAPTURECHANGED:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK PictureButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR data) {
  auto* button = reinterpret_cast<PictureButton*>(data);
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, PictureButtonProc, kSubclassId);
    delete button;
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
  const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  if (message == WM_PRINTCLIENT) {
    DrawPicture(hwnd, reinterpret_cast<HDC>(wParam), *button);
  } else if (message == WM_PAINT || RedrawsFace(message)) {
    DrawPictureNow(hwnd, *button);
  }
  return result;
}

}  // namespace

HBITMAP CreatePictureBitmap(const std::uint8_t* data, std::size_t size) {
  const std::optional<JpegPicture> picture = DecodeJpegPicture(data, size);
  if (!picture) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture->width;
  info.bmiHeader.biHeight = picture->height;  // positive: bottom-up, as decoded
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return nullptr;
  if (bits == nullptr) {
    DeleteObject(bitmap);
    return nullptr;
  }
  std::memcpy(bits, picture->pixels.data(), picture->pixels.size());
  return bitmap;
}

void AttachPicture(HWND button, HBITMAP picture) {
  if (button == nullptr || picture == nullptr) return;  // an empty face that still works
  BITMAP info{};
  if (GetObjectW(picture, sizeof info, &info) == 0) return;
  auto* data = new PictureButton{picture, {info.bmWidth, info.bmHeight}, ComctlMajorVersion()};
  if (!SetWindowSubclass(button, PictureButtonProc, kSubclassId,
                         reinterpret_cast<DWORD_PTR>(data))) {
    delete data;
    return;
  }
  InvalidateRect(button, nullptr, FALSE);
}

}  // namespace romprog::win32
