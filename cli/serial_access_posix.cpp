#include <fcntl.h>
#include <glob.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>

#ifdef __linux__
#include <linux/serial.h>
#endif

#include "cli/serial_access.h"
#include "core/protocol/line_settings.h"
#include "platform/posix/low_latency.h"
#include "platform/posix/posix_serial_port.h"

namespace romtool {
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

std::string LowLatencyNote(romprog::posix::LowLatency outcome, int error) {
  using romprog::posix::LowLatency;
  switch (outcome) {
    case LowLatency::Enabled:
      return "low-latency mode: switched on";
    case LowLatency::AlreadyOn:
      return "low-latency mode: already on";
    case LowLatency::Refused:
      return std::string("low-latency mode: refused by the driver (") + std::strerror(error) +
             "); bytes may wait for the driver's timer";
    case LowLatency::Unsupported:
      break;
  }
  return "low-latency mode: not available on this system";
}

}  // namespace

std::vector<std::string> ListPorts() {
  std::vector<std::string> ports;
  for (const char* pattern : {"/dev/ttyUSB*", "/dev/ttyACM*", "/dev/ttyS*"}) {
    const bool needsUart = std::strcmp(pattern, "/dev/ttyS*") == 0;
    for (const std::string& path : Matching(pattern)) {
      if (Opens(path, needsUart)) ports.push_back(path);
    }
  }
  return ports;
}

namespace {

// The port library takes device paths only: a relative path is taken from
// the working folder, and a bare name that is not there ("ttyUSB0") from /dev.
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

romprog::OpenedPort OpenPort(const std::string& name, std::string& notes) {
  const romprog::LineSettings settings = romprog::ProgrammerLine(DevicePath(name));
  std::string lowLatency;
  romprog::OpenedPort port = romprog::posix::OpenSerialPort(settings, [&lowLatency](int fd) {
    int error = 0;
    const auto outcome = romprog::posix::RequestLowLatency(fd, error);
    lowLatency = LowLatencyNote(outcome, error);
  });
  if (!port.port) return port;
  notes = "opened " + name +
          " at 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control\n" + lowLatency +
          "\n";
  return port;
}

}  // namespace romtool
