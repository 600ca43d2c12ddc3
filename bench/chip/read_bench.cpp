// A whole read command as the program runs it, windows and all: starts the
// program on the real Win32 toolkit and serial ports, then runs ReadChip
// against the emulator on COM1 and prints the time per byte and the CPU time
// the process used. Message boxes are counted instead of shown, so the run
// needs no one to close them.
//
//   read_bench.exe [chip 0|1|2 = 27C64|27C128|27C256] [runs]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gui/chip_commands.h"
#include "gui/control_ids.h"
#include "gui/program.h"
#include "gui/win32/win32_toolkit.h"
#include "platform/system_serial_ports.h"

namespace {

double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                               t.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

class BenchToolkit : public romprog::win32::Win32Toolkit {
 public:
  using Win32Toolkit::Win32Toolkit;
  std::vector<romprog::Text> boxes;
  double firstBoxAt = 0;
  long addressUpdates = 0;  // status text 11 written

  int MessageBox(const romprog::Text&, const romprog::Text& text, unsigned) override {
    if (boxes.empty()) firstBoxAt = Now();
    boxes.push_back(text);
    return IDOK;
  }
  void SetText(int id, const romprog::Text& text) override {
    if (id == romprog::id::kStatusAddress) ++addressUpdates;
    Win32Toolkit::SetText(id, text);
  }
};

// Lets the windows paint for a while, as an idle program would.
void Settle(int milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < static_cast<DWORD>(milliseconds)) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(5);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const int chip = __argc > 1 ? std::atoi(__argv[1]) : 2;
  const int runs = __argc > 2 ? std::atoi(__argv[2]) : 1;
  BenchToolkit toolkit(instance);
  std::unique_ptr<romprog::PortOpener> ports = romprog::MakeSystemPortOpener();
  std::unique_ptr<romprog::Clock> clock = romprog::MakeSystemClock();
  romprog::App app(toolkit, *ports, *clock);
  romprog::StartUp(app);
  toolkit.SetState(romprog::id::kChipSelector, chip);
  int failures = 0;
  for (int run = 0; run < runs; ++run) {
    Settle(400);  // the emulator ends any earlier exchange after its silence
    toolkit.boxes.clear();
    toolkit.addressUpdates = 0;
    const double cpu0 = CpuSeconds(), t0 = Now();
    romprog::ReadChip(app);
    const double wall = toolkit.firstBoxAt - t0, cpu = CpuSeconds() - cpu0;
    const bool ok = toolkit.boxes.size() == 1 && toolkit.boxes[0] == "OK !!!";
    const int bytes = app.state.activeSize;
    if (!ok) ++failures;
    std::printf(
        "read %s bytes %d  wall %.3f s  per byte %.1f us  cpu %.3f s (%.1f %% of wall)  "
        "status updates %ld\n",
        ok ? "ok" : "FAILED", bytes, wall, wall * 1e6 / bytes, cpu, 100.0 * cpu / wall,
        toolkit.addressUpdates);
    std::fflush(stdout);
  }
  toolkit.End();
  return failures == 0 ? 0 : 1;
}
