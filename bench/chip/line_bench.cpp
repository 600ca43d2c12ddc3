// The serial line alone under Wine: reads a chip from the emulator with the
// bare protocol loop, waiting for each byte either by spinning on the input
// queue count or by blocking reads bounded by the port's time-outs, and
// prints the time per byte and the CPU time each way took.
//
//   line_bench.exe COM1 [pages] [spin|block|both]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/protocol/line_settings.h"
#include "platform/win32/win32_serial_port.h"

namespace {

using romprog::SerialPort;

double Seconds(const FILETIME& t) {
  ULARGE_INTEGER v;
  v.LowPart = t.dwLowDateTime;
  v.HighPart = t.dwHighDateTime;
  return static_cast<double>(v.QuadPart) / 1e7;
}

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  return Seconds(kernel) + Seconds(user);
}

double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The wait the line was first written with: ask for the queue count until a
// byte is there, without pausing.
bool SpinForByte(HANDLE port, std::uint8_t& byte) {
  const DWORD start = GetTickCount();
  for (;;) {
    DWORD errors = 0;
    COMSTAT status{};
    ClearCommError(port, &errors, &status);
    if (status.cbInQue > 0) {
      DWORD read = 0;
      return ReadFile(port, &byte, 1, &read, nullptr) && read == 1;
    }
    if (GetTickCount() - start >= 1000) return false;
  }
}

bool BlockForByte(SerialPort& port, std::uint8_t& byte) {
  const DWORD start = GetTickCount();
  do {
    if (port.ReadByte(byte, 1000 - static_cast<int>(GetTickCount() - start)).ok()) return true;
  } while (GetTickCount() - start < 1000);
  return false;
}

struct Result {
  int bytes = 0;
  double wall = 0, cpu = 0;
};

// One read exchange; `spin` picks the wait. The spinning wait needs the raw
// handle, so it opens the port itself.
Result ReadChip(const std::string& name, int pages, bool spin) {
  Result result;
  const romprog::LineSettings settings = romprog::ProgrammerLine(name);
  std::unique_ptr<SerialPort> port;
  HANDLE raw = INVALID_HANDLE_VALUE;
  if (spin) {
    raw = CreateFileA(("\\\\.\\" + name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                      OPEN_EXISTING, 0, nullptr);
    if (raw == INVALID_HANDLE_VALUE) return result;
    DCB line{};
    line.DCBlength = sizeof(line);
    GetCommState(raw, &line);
    BuildCommDCBA(romprog::SettingsText(settings).c_str(), &line);
    line.fRtsControl = RTS_CONTROL_DISABLE;
    line.fOutxCtsFlow = FALSE;
    SetCommState(raw, &line);
    COMMTIMEOUTS timeouts{100, 10, 100, 100, 10};
    SetCommTimeouts(raw, &timeouts);
  } else {
    port = romprog::win32::OpenSerialPort(settings).port;
    if (!port) return result;
  }
  auto send = [&](std::uint8_t byte) {
    if (spin) {
      DWORD written = 0;
      WriteFile(raw, &byte, 1, &written, nullptr);
    } else {
      port->SendByte(byte);
    }
  };
  auto wait = [&](std::uint8_t& byte) {
    return spin ? SpinForByte(raw, byte) : BlockForByte(*port, byte);
  };
  Sleep(400);  // the emulator ends any earlier exchange after its silence
  const double cpu0 = CpuSeconds(), t0 = Now();
  std::uint8_t byte = 0;
  send(static_cast<std::uint8_t>(pages));
  if (wait(byte)) {
    for (int a = 0; a < pages * 256; ++a) {
      if (!wait(byte)) break;
      send(0xAA);
      ++result.bytes;
    }
  }
  result.wall = Now() - t0;
  result.cpu = CpuSeconds() - cpu0;
  if (raw != INVALID_HANDLE_VALUE) CloseHandle(raw);
  return result;
}

void Print(const char* how, const Result& r) {
  std::printf("%-5s bytes %6d  wall %8.3f s  per byte %8.1f us  cpu %7.3f s (%5.1f %% of wall)\n",
              how, r.bytes, r.wall, r.bytes ? r.wall * 1e6 / r.bytes : 0.0, r.cpu,
              r.wall > 0 ? 100.0 * r.cpu / r.wall : 0.0);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string name = argc > 1 ? argv[1] : "COM1";
  const int pages = argc > 2 ? std::atoi(argv[2]) : 0x20;
  const std::string mode = argc > 3 ? argv[3] : "both";
  if (mode != "block") Print("spin", ReadChip(name, pages, true));
  if (mode != "spin") Print("block", ReadChip(name, pages, false));
  return 0;
}
