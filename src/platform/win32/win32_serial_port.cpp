#include "platform/win32/win32_serial_port.h"

#include <windows.h>
// After windows.h: the multimedia timer.
#include <mmsystem.h>

#include <algorithm>
#include <string>

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

// The system's words for GetLastError's `error`.
std::string SystemMessage(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 && text ? std::string(text, length) : std::string();
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  if (message.empty()) message = "error " + std::to_string(error);
  return message;
}

// What GetLastError says about a port call. A COM port held by another
// program refuses with access denied.
PortResult Fault(DWORD error) {
  PortStatus status = PortStatus::Failed;
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      status = PortStatus::NoDevice;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
      status = PortStatus::Busy;
      break;
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_OPERATION_ABORTED:
      status = PortStatus::DeviceGone;
      break;
    default:
      break;
  }
  return {status, SystemMessage(error)};
}

// false when the device has no line state: it is no serial port (a file, NUL).
bool ApplyLineSettings(HANDLE port, const std::string& settings) {
  SetupComm(port, 1, 1);
  DCB line{};
  line.DCBlength = sizeof(line);
  if (!GetCommState(port, &line)) return false;
  if (!BuildCommDCBA(settings.c_str(), &line)) return true;
  line.fRtsControl = RTS_CONTROL_DISABLE;
  line.fOutxCtsFlow = FALSE;
  // Data bytes 0x11 and 0x13 must pass as data.
  line.fOutX = FALSE;
  line.fInX = FALSE;
  if (!SetCommState(port, &line)) return true;
  COMMTIMEOUTS timeouts{kReadIntervalTimeout, kReadTotalMultiplier, kReadTotalConstant,
                        kWriteTotalMultiplier, kWriteTotalConstant};
  SetCommTimeouts(port, &timeouts);
  return true;
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
  PortResult SetRts(bool on) override {
    if (!EscapeCommFunction(port_, on ? SETRTS : CLRRTS)) return Fault(GetLastError());
    return {};
  }

  PortResult SendByte(std::uint8_t byte) override {
    DWORD written = 0;
    if (!WriteFile(port_, &byte, 1, &written, nullptr)) return Fault(GetLastError());
    if (written != 1) return {PortStatus::TimedOut, "the byte did not go out"};
    return {};
  }

  // Wine on a pseudo-terminal keeps what came in while the port was closed;
  // a reopened Windows port may too, and the queue may fill while it is open.
  PortResult DiscardInput() override {
    if (!PurgeComm(port_, PURGE_RXCLEAR)) return Fault(GetLastError());
    return {};
  }

  // Blocks in the driver for one slice of the time-outs, returning as soon as
  // the byte is there. Once a slice has passed without a byte the reply is
  // slow or not coming, and the queue is looked at in 1 ms steps, a slice at
  // a time, until a byte comes: a driver that fails every read at once (a
  // device unplugged) or spins through its time-outs (Wine's, on a
  // pseudo-terminal whose other end is gone) then costs no more than one
  // slice of CPU. The end of a wait shorter than a slice, and a port whose
  // time-outs are not bounded, are polled likewise. A wait without a byte is
  // a time-out whatever the driver said: the protocol's time-out decides.
  PortResult ReadByte(std::uint8_t& byte, int timeoutMs) override {
    const DWORD start = GetTickCount();
    const DWORD limit = static_cast<DWORD>(std::clamp(timeoutMs, 0, kReadSliceMs));
    bool got = false;
    if (boundedReads_ && !slow_ && timeoutMs >= kReadSliceMs) {
      got = ReadOne(byte) || PollFor(byte, start, limit);
    } else {
      got = PollFor(byte, start, limit);
    }
    slow_ = !got;
    if (got) return {};
    return {PortStatus::TimedOut, {}};
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

OpenedPort OpenSerialPort(const LineSettings& settings) {
  const std::string path = "\\\\.\\" + settings.device;
  HANDLE port = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (port == INVALID_HANDLE_VALUE) return {nullptr, Fault(GetLastError())};
  if (!ApplyLineSettings(port, SettingsText(settings))) {
    CloseHandle(port);
    return {nullptr, {PortStatus::NotSerial, {}}};
  }
  auto opened = std::make_unique<Win32SerialPort>(port, ReadsAreBounded(port));
  opened->DiscardInput();
  return {std::move(opened), {}};
}

void TickClock::Pause(int milliseconds) {
  FineTimer timer;
  Sleep(static_cast<DWORD>(milliseconds));
}

std::uint32_t TickClock::TickCount() {
  return GetTickCount();
}

}  // namespace romprog::win32
