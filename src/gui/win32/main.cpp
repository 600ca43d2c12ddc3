// The program's entry point on Windows.
// <windows.h> must come before the other Win32 headers.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "gui/program.h"
#include "gui/win32/win32_toolkit.h"
#include "platform/system_serial_ports.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC =
      ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);
  romprog::win32::Win32Toolkit toolkit(instance);
  std::unique_ptr<romprog::PortOpener> ports = romprog::MakeSystemPortOpener();
  std::unique_ptr<romprog::Clock> clock = romprog::MakeSystemClock();
  return romprog::RunProgram(toolkit, *ports, *clock);
}
