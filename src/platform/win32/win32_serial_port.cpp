#include "platform/win32/win32_serial_port.h"

#include <windows.h>
// After windows.h: the multimedia timer.
#include <mmsystem.h>

#include <algorithm>

#include "core/protocol/line_settings.h"

namespace romprog::win32 {
namespace {

// A blocking read is used only when the time-outs in force end it this soon.
constexpr DWORD kLongestBlockingReadMs = 200;

// Timer resolution of 1 ms for the lifetime of the object.
class FineTimer {
 public:
  FineTimer() { timeBeginPeriod(1); }
  ~FineTimer() { timeEndPeriod(1); }
  FineTimer(const FineTimer&) = delete;
  FineTimer& operator=(const FineTimer&) = delete;
};

void ApplyLineSettings(HANDLE port, const std::string& settings) {
  SetupComm(port, 1, 1);
  DCB line{};
  line.DCBlength = sizeof(line);
  if (!GetCommState(port, &line)) return;
  if (!BuildCommDCBA(settings.c_str(), &line)) return;
  line.fRtsControl = RTS_CONTROL_DISABLE;
  line.fOutxCtsFlow = FALSE;
  // Data bytes 0x11 and 0x13 must pass as data.
  line.fOutX = FALSE;
  line.fInX = FALSE;
  if (!SetCommState(port, &line)) return;
  COMMTIMEOUTS timeouts{kReadIntervalTimeout, kReadTotalMultiplier, kReadTotalConstant,
                        kWriteTotalMultiplier, kWriteTotalConstant};
  SetCommTimeouts(port, &timeouts);
}

// Whether a one-byte ReadFile under the port's time-outs returns within a
// short slice. When the time-outs could not be set it may block for ever.
bool ReadsAreBounded(HANDLE port) {
  COMMTIMEOUTS timeouts{};
  if (!GetCommTimeouts(port, &timeouts)) return false;
  const DWORD total = timeouts.ReadTotalTimeoutMultiplier + timeouts.ReadTotalTimeoutConstant;
  return total > 0 && total <= kLongestBlockingReadMs &&
         timeouts.ReadTotalTimeoutMultiplier != MAXDWORD &&
         timeouts.ReadTotalTimeoutConstant != MAXDWORD;
}

class Win32SerialPort : public SerialPort {
 public:
  Win32SerialPort(HANDLE port, bool boundedReads) : port_(port), boundedReads_(boundedReads) {}
  ~Win32SerialPort() override { CloseHandle(port_); }
  Win32SerialPort(const Win32SerialPort&) = delete;
  Win32SerialPort& operator=(const Win32SerialPort&) = delete;

  // Fails on a line without modem control (a pseudo-terminal under Wine);
  // the exchange goes on all the same.
  void SetRts(bool on) override { EscapeCommFunction(port_, on ? SETRTS : CLRRTS); }

  bool SendByte(std::uint8_t byte) override {
    DWORD written = 0;
    return WriteFile(port_, &byte, 1, &written, nullptr) && written == 1;
  }

  // Blocks in the driver for one slice of the time-outs, returning as soon as
  // the byte is there. Once a slice has passed without a byte the reply is
  // slow or not coming, and the queue is looked at in 1 ms steps, a slice at
  // a time, until a byte comes: a driver that fails every read at once (a
  // device unplugged) or spins through its time-outs (Wine's, on a
  // pseudo-terminal whose other end is gone) then costs no more than one
  // slice of CPU. The end of a wait shorter than a slice, and a port whose
  // time-outs are not bounded, are polled likewise.
  bool ReadByte(std::uint8_t& byte, int timeoutMs) override {
    const DWORD start = GetTickCount();
    const DWORD limit = static_cast<DWORD>(std::clamp(timeoutMs, 0, kReadSliceMs));
    bool got = false;
    if (boundedReads_ && !slow_ && timeoutMs >= kReadSliceMs) {
      got = ReadOne(byte) || PollFor(byte, start, limit);
    } else {
      got = PollFor(byte, start, limit);
    }
    slow_ = !got;
    return got;
  }

 private:
  // Bytes in the input queue; also clears a line error the port has latched.
  DWORD Waiting() {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(port_, &errors, &status)) return 0;
    return status.cbInQue;
  }

  // Looks at the queue in 1 ms steps until `limit` ms after `start`.
  bool PollFor(std::uint8_t& byte, DWORD start, DWORD limit) {
    FineTimer timer;
    for (;;) {
      if (Waiting() > 0) return ReadOne(byte);
      if (GetTickCount() - start >= limit) return false;
      Sleep(1);
    }
  }

  bool ReadOne(std::uint8_t& byte) {
    DWORD read = 0;
    if (ReadFile(port_, &byte, 1, &read, nullptr)) return read == 1;
    Waiting();  // a latched line error fails reads until it is cleared
    return false;
  }

  HANDLE port_;
  bool boundedReads_;
  bool slow_ = false;  // the last read found no byte
};

}  // namespace

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& settings) {
  const std::string path = "\\\\.\\" + DeviceOfSettings(settings);
  HANDLE port = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (port == INVALID_HANDLE_VALUE) return nullptr;
  ApplyLineSettings(port, settings);
  return std::make_unique<Win32SerialPort>(port, ReadsAreBounded(port));
}

void SystemSerialPorts::Pause(int milliseconds) {
  FineTimer timer;
  Sleep(static_cast<DWORD>(milliseconds));
}

std::uint32_t SystemSerialPorts::TickCount() {
  return GetTickCount();
}

}  // namespace romprog::win32
