// How long RefreshListing takes with the real Win32 list view: 27C256, that
// is 4096 row insertions and 36864 cell updates per refresh.
// <windows.h> must come before the other Win32 headers.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "gui/control_ids.h"
#include "gui/hex_listing.h"
#include "gui/program.h"
#include "gui/win32/win32_toolkit.h"

namespace {

// A machine without serial ports: the benchmark needs none.
class NoPorts : public romprog::PortOpener, public romprog::Clock {
 public:
  romprog::OpenedPort Open(const romprog::LineSettings&) override {
    return {nullptr, {romprog::PortStatus::NoDevice, {}}};
  }
  void Pause(int) override {}
  std::uint32_t TickCount() override { return GetTickCount(); }
};

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

// Lets the windows paint what the refresh left, so the next run starts clean.
void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Measure(romprog::App& app, const char* label, int runs) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    for (std::size_t i = 0; i < app.state.imageBuffer.size(); ++i) {
      app.state.imageBuffer[i] = static_cast<std::uint8_t>(i * 7 + run);
    }
    LARGE_INTEGER begin{};
    LARGE_INTEGER end{};
    QueryPerformanceCounter(&begin);
    romprog::RefreshListing(app);
    QueryPerformanceCounter(&end);
    times.push_back(Milliseconds(begin, end));
    Pump();
  }
  std::sort(times.begin(), times.end());
  std::printf("refresh 27C256 (%d rows, %d cells), %s: min %.1f ms, median %.1f ms, max %.1f ms\n",
              app.ui.CountItems(romprog::id::kListing),
              app.ui.CountItems(romprog::id::kListing) * 9, label, times.front(),
              times[times.size() / 2], times.back());
}

// The two passes of a refresh on their own, to show where the time goes.
void MeasurePasses(romprog::App& app) {
  romprog::Toolkit& ui = app.ui;
  const int rows = romprog::kBufferSize / romprog::kBytesPerRow;
  LARGE_INTEGER t0{};
  LARGE_INTEGER t1{};
  LARGE_INTEGER t2{};
  LARGE_INTEGER t3{};
  ui.SetRedraw(romprog::id::kListing, false);
  QueryPerformanceCounter(&t3);
  ui.DeleteAllRows(romprog::id::kListing);
  QueryPerformanceCounter(&t0);
  for (int row = 0; row < rows; ++row) {
    ui.AppendRow(romprog::id::kListing, romprog::AddressCell(row * romprog::kBytesPerRow));
  }
  QueryPerformanceCounter(&t1);
  for (int row = 0; row < rows; ++row) romprog::RefreshListingRow(app, row);
  QueryPerformanceCounter(&t2);
  ui.SetRedraw(romprog::id::kListing, true);
  Pump();
  std::printf(
      "  of which: removing the rows %.1f ms, %d row insertions %.1f ms, %d cell updates %.1f ms\n",
      Milliseconds(t3, t0), rows, Milliseconds(t0, t1), rows * 9, Milliseconds(t1, t2));
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC =
      ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);
  romprog::win32::Win32Toolkit toolkit(GetModuleHandleW(nullptr));
  NoPorts ports;
  auto app = std::make_unique<romprog::App>(toolkit, ports, ports);
  romprog::StartUp(*app);
  toolkit.SetState(romprog::id::kChipSelector, 2);  // 27C256
  Measure(*app, "window hidden", 7);
  toolkit.HideWindow(romprog::kBufferWindow, false);
  Pump();
  Measure(*app, "window shown", 7);
  MeasurePasses(*app);
  romprog::ShutDown(*app);
  return 0;
}
