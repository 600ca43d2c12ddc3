#include "platform/posix/posix_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/posix/port_permission.h"

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

// What errno says about a port call.
PortResult Fault(int error) {
  PortStatus status = PortStatus::Failed;
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      status = PortStatus::NoDevice;
      break;
    case EACCES:
    case EPERM:
      return {PortStatus::PermissionDenied, std::strerror(error), "add yourself to group dialout"};
    case EBUSY:
    case EWOULDBLOCK:
      status = PortStatus::Busy;
      break;
    case EIO:
    case EPIPE:
      status = PortStatus::DeviceGone;
      break;
    default:
      break;
  }
  return {status, std::strerror(error)};
}

// Raw bytes in both directions, no flow control of any kind, reads that
// never block in the driver (the waiting is done with poll).
bool ApplyMode(int fd, const LineSettings& mode) {
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

// Waits for `events` on fd: Ok when they came, TimedOut after the time-out,
// DeviceGone when the line hung up (a device unplugged, the other end of a
// pseudo-terminal closed).
PortResult WaitFor(int fd, short events, int milliseconds) {
  pollfd entry{fd, events, 0};
  int ready;
  do {
    ready = poll(&entry, 1, milliseconds);
  } while (ready < 0 && errno == EINTR);
  if (ready < 0) return Fault(errno);
  if (ready == 0) return {PortStatus::TimedOut, {}};
  if (entry.revents & events) return {};
  return {PortStatus::DeviceGone, "the line hung up"};
}

class PosixSerialPort : public SerialPort {
 public:
  explicit PosixSerialPort(int fd) : fd_(fd) {}
  ~PosixSerialPort() override { close(fd_); }
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  // A pseudo-terminal has no modem lines: the call fails there, harmlessly.
  PortResult SetRts(bool on) override {
    int bits = TIOCM_RTS;
    if (ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits) != 0) return Fault(errno);
    return {};
  }

  PortResult SendByte(std::uint8_t byte) override {
    for (int attempt = 0; attempt < 2; ++attempt) {
      const ssize_t written = write(fd_, &byte, 1);
      if (written == 1) return {};
      if (written < 0 && errno != EAGAIN && errno != EINTR) return Fault(errno);
      PortResult ready = WaitFor(fd_, POLLOUT, kWriteLimitMs);
      if (!ready.ok()) return ready;
    }
    return {PortStatus::TimedOut, "the byte did not go out"};
  }

  // On a pseudo-terminal too: what the other end wrote and this one has not
  // read yet is dropped.
  PortResult DiscardInput() override {
    if (tcflush(fd_, TCIFLUSH) != 0) return Fault(errno);
    return {};
  }

  PortResult ReadByte(std::uint8_t& byte, int timeoutMs) override {
    const int slice = std::clamp(timeoutMs, 0, kReadSliceMs);
    // Poll first: in an exchange the byte is hardly ever in yet, and a read
    // that finds nothing would be a third system call for every byte.
    PortResult ready = WaitFor(fd_, POLLIN, slice);
    if (!ready.ok()) return ready;
    return Take(byte);
  }

 private:
  // Readable without a byte: the other end hung up.
  PortResult Take(std::uint8_t& byte) {
    ssize_t got;
    do {
      got = read(fd_, &byte, 1);
    } while (got < 0 && errno == EINTR);
    if (got == 1) return {};
    if (got < 0 && errno != EAGAIN) return Fault(errno);
    return {PortStatus::DeviceGone, "the line hung up"};
  }

  int fd_;
};

// A terminal device: a character device with a line state. A file or
// /dev/null opens as well, and a byte sent there would be written into it.
bool IsSerialLine(int fd) {
  struct stat status {};
  termios line{};
  return fstat(fd, &status) == 0 && S_ISCHR(status.st_mode) && tcgetattr(fd, &line) == 0;
}

}  // namespace

OpenedPort OpenSerialPort(const LineSettings& settings, const std::function<void(int fd)>& tune) {
  const std::string& device = settings.device;
  if (device.empty() || device[0] != '/') {
    return {nullptr, {PortStatus::NoDevice, "not a device path"}};
  }
  const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    PortResult fault = Fault(errno);
    // The device's own group and mode tell what gets past it.
    if (fault.status == PortStatus::PermissionDenied) fault.advice = PermissionAdvice(device);
    return {nullptr, fault};
  }
  if (!IsSerialLine(fd)) {
    close(fd);
    return {nullptr, {PortStatus::NotSerial, {}}};
  }
  // No sharing: one user of a port at a time.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    close(fd);
    return {nullptr, Fault(error == EWOULDBLOCK ? EBUSY : error)};
  }
  auto port = std::make_unique<PosixSerialPort>(fd);
  if (tune) tune(fd);
  ApplyMode(fd, settings);
  // A tty keeps its input queue from one open to the next.
  port->DiscardInput();
  return {std::move(port), {}};
}

void SteadyClock::Pause(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::uint32_t SteadyClock::TickCount() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace romprog::posix
