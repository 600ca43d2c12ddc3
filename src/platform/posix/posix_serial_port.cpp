#include "platform/posix/posix_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "core/protocol/line_settings.h"

namespace romprog::posix {
namespace {

speed_t SpeedOf(int baud) {
  switch (baud) {
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    default:
      return B0;
  }
}

tcflag_t DataBitsOf(int bits) {
  switch (bits) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

// Raw bytes in both directions, no flow control of any kind, reads that
// never block in the driver (the waiting is done with poll).
bool ApplyMode(int fd, const LineMode& mode) {
  termios line{};
  if (tcgetattr(fd, &line) != 0) return false;
  const speed_t speed = SpeedOf(mode.baud);
  if (speed == B0 || mode.parity == 'M' || mode.parity == 'S') return false;
  cfmakeraw(&line);
  cfsetispeed(&line, speed);
  cfsetospeed(&line, speed);
  line.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
  line.c_cflag |= DataBitsOf(mode.dataBits) | CLOCAL | CREAD;
  if (mode.parity != 'N') line.c_cflag |= PARENB;
  if (mode.parity == 'O') line.c_cflag |= PARODD;
  if (mode.stopBits == 2) line.c_cflag |= CSTOPB;
  line.c_iflag &= ~(IXON | IXOFF | IXANY);
  line.c_cc[VMIN] = 0;
  line.c_cc[VTIME] = 0;
  return tcsetattr(fd, TCSANOW, &line) == 0;
}

void SleepMs(int milliseconds) {
  timespec rest{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
  while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
  }
}

// Waits for `events` on fd; true when they came, false after the time-out.
// A hung-up line counts as the time-out, after sleeping it out, so a caller
// waiting for a reply does not spin.
bool WaitFor(int fd, short events, int milliseconds) {
  pollfd entry{fd, events, 0};
  int ready;
  do {
    ready = poll(&entry, 1, milliseconds);
  } while (ready < 0 && errno == EINTR);
  if (ready > 0 && (entry.revents & events)) return true;
  if (ready > 0) SleepMs(milliseconds);
  return false;
}

class PosixSerialPort : public SerialPort {
 public:
  explicit PosixSerialPort(int fd) : fd_(fd) {}
  ~PosixSerialPort() override { close(fd_); }
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  // A pseudo-terminal has no modem lines: the call fails there, harmlessly.
  void SetRts(bool on) override {
    int bits = TIOCM_RTS;
    (void)ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits);
  }

  bool SendByte(std::uint8_t byte) override {
    for (int attempt = 0; attempt < 2; ++attempt) {
      const ssize_t written = write(fd_, &byte, 1);
      if (written == 1) return true;
      if (written < 0 && errno != EAGAIN && errno != EINTR) return false;
      if (!WaitFor(fd_, POLLOUT, kWriteLimitMs)) return false;
    }
    return false;
  }

  bool ReadByte(std::uint8_t& byte, int timeoutMs) override {
    const int slice = std::clamp(timeoutMs, 0, kReadSliceMs);
    // Poll first: in an exchange the byte is hardly ever in yet, and a read
    // that finds nothing would be a third system call for every byte.
    if (!WaitFor(fd_, POLLIN, slice)) return false;
    if (Take(byte)) return true;
    SleepMs(slice);  // readable without a byte: the other end hung up
    return false;
  }

 private:
  bool Take(std::uint8_t& byte) {
    ssize_t got;
    do {
      got = read(fd_, &byte, 1);
    } while (got < 0 && errno == EINTR);
    return got == 1;
  }

  int fd_;
};

}  // namespace

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& settings,
                                           const std::function<void(int fd)>& tune) {
  const std::string device = DeviceOfSettings(settings);
  if (device.empty() || device[0] != '/') return nullptr;
  const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  // No sharing: one user of a port at a time.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return nullptr;
  }
  auto port = std::make_unique<PosixSerialPort>(fd);
  if (tune) tune(fd);
  if (const std::optional<LineMode> mode = ParseLineMode(settings)) ApplyMode(fd, *mode);
  return port;
}

void SerialPorts::Pause(int milliseconds) {
  SleepMs(milliseconds);
}

std::uint32_t SerialPorts::TickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                    static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
}

}  // namespace romprog::posix
