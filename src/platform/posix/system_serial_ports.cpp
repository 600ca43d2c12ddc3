// On POSIX systems the ports are named by their device path; "COMn" names
// nothing here, so the window program's port probe finds none.
#include "platform/system_serial_ports.h"

#include <fcntl.h>
#include <glob.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#ifdef __linux__
#include <linux/serial.h>
#endif

#include "platform/posix/low_latency.h"
#include "platform/posix/port_permission.h"
#include "platform/posix/posix_serial_port.h"
#include "platform/posix/sysfs_ports.h"

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
// working folder, and a bare name that is not there from /dev/serial/by-id
// (the name that stays with the adapter), else /dev ("ttyUSB0").
std::string DevicePath(const std::string& name) {
  if (name.empty() || name[0] == '/') return name;
  if (access(name.c_str(), F_OK) != 0 && name.find('/') == std::string::npos) {
    const std::string byId = posix::DevRoot() + "/serial/by-id/" + name;
    return access(byId.c_str(), F_OK) == 0 ? byId : posix::DevRoot() + "/" + name;
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

std::vector<PortFacts> ListSystemPorts() {
  const std::string dev = posix::DevRoot();
  const std::string sysfs = posix::SysfsRoot();
  std::vector<PortFacts> ports;
  for (const char* kind : {"ttyUSB", "ttyACM", "ttyS"}) {
    const bool needsUart = std::strcmp(kind, "ttyS") == 0;
    for (const std::string& path : Matching((dev + "/" + kind + "*").c_str())) {
      PortFacts facts;
      // An adapter the user may not open is there all the same: it is named
      // with what gets past it. (A ttyS* unopened may have no UART behind it.)
      if (!Opens(path, needsUart)) {
        if (needsUart || (errno != EACCES && errno != EPERM)) continue;
        facts.problem = "permission denied; " + posix::PermissionAdvice(path);
      }
      facts.name = path;
      posix::ReadUsbFacts(sysfs, path.substr(path.rfind('/') + 1), facts);
      facts.byId = posix::ByIdLink(dev, path);
      ports.push_back(facts);
    }
  }
  return ports;
}

std::string LatencyTimerFix(const std::string& name) {
  // sysfs knows the device by its own name, not by a link to it such as
  // /dev/serial/by-id/usb-FTDI_...
  std::error_code error;
  const std::string device = std::filesystem::canonical(name, error).string();
  const std::string& path = error ? name : device;
  const std::string timer = posix::SysfsRoot() + "/class/tty/" + path.substr(path.rfind('/') + 1) +
                            "/device/latency_timer";
  if (!std::filesystem::exists(timer, error)) return std::string();
  return "as root, echo 1 > " + timer;
}

bool SamePortName(const std::string& a, const std::string& b) {
  return a == b;
}

}  // namespace romprog
