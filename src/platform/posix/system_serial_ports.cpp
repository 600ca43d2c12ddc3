// On POSIX systems the ports are named by their device path; "COMn" names
// nothing here, so the window program's port probe finds none.
#include "platform/system_serial_ports.h"

#include <fcntl.h>
#include <glob.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>

#ifdef __linux__
#include <linux/serial.h>
#endif

#include "platform/posix/low_latency.h"
#include "platform/posix/posix_serial_port.h"

namespace romprog {
namespace {

std::vector<std::string> Matching(const char* pattern) {
  std::vector<std::string> paths;
  glob_t found{};
  if (glob(pattern, 0, nullptr, &found) == 0) {
    for (std::size_t i = 0; i < found.gl_pathc; ++i) paths.emplace_back(found.gl_pathv[i]);
  }
  globfree(&found);
  return paths;
}

// /dev/ttyS* exist for every UART slot the kernel reserved, hardware or not:
// only those with a known UART type count.
bool HasUart(int fd) {
#ifdef __linux__
  serial_struct serial{};
  return ioctl(fd, TIOCGSERIAL, &serial) == 0 && serial.type != PORT_UNKNOWN;
#else
  (void)fd;
  return true;
#endif
}

bool Opens(const std::string& path, bool needsUart) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool present = !needsUart || HasUart(fd);
  close(fd);
  return present;
}

// The port takes device paths only: a relative path is taken from the
// working folder, and a bare name that is not there ("ttyUSB0") from /dev.
std::string DevicePath(const std::string& name) {
  if (name.empty() || name[0] == '/') return name;
  if (access(name.c_str(), F_OK) != 0 && name.find('/') == std::string::npos) {
    return "/dev/" + name;
  }
  char folder[4096];
  if (getcwd(folder, sizeof folder) == nullptr) return name;
  return std::string(folder) + "/" + name;
}

}  // namespace

std::unique_ptr<PortOpener> MakeSystemPortOpener() {
  return std::make_unique<posix::PortOpener>();
}

std::unique_ptr<Clock> MakeSystemClock() {
  return std::make_unique<posix::SteadyClock>();
}

SystemPort OpenSystemPort(const std::string& name) {
  SystemPort port;
  int error = 0;
  port.opened = posix::OpenSerialPort(ProgrammerLine(DevicePath(name)), [&port, &error](int fd) {
    port.lowLatency = posix::RequestLowLatency(fd, error);
  });
  if (port.lowLatency == LowLatency::Refused) port.refusal = std::strerror(error);
  port.setup = "at 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control";
  return port;
}

std::vector<std::string> ListSystemPorts() {
  std::vector<std::string> ports;
  for (const char* pattern : {"/dev/ttyUSB*", "/dev/ttyACM*", "/dev/ttyS*"}) {
    const bool needsUart = std::strcmp(pattern, "/dev/ttyS*") == 0;
    for (const std::string& path : Matching(pattern)) {
      if (Opens(path, needsUart)) ports.push_back(path);
    }
  }
  return ports;
}

}  // namespace romprog
