// Driving romsim from another program: start it, talk to it as a host does
// over its pty, stop it. Used by the tests and the round-trip benchmark.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/unique_fd.h"

namespace romprog::sim {

class RomsimProcess {
 public:
  // Runs `binary args...` and waits (up to 5 s) for the path it prints.
  static std::unique_ptr<RomsimProcess> Start(const std::string& binary,
                                              const std::vector<std::string>& args,
                                              std::string& error);
  ~RomsimProcess();
  RomsimProcess(const RomsimProcess&) = delete;
  RomsimProcess& operator=(const RomsimProcess&) = delete;

  const std::string& slave() const { return slave_; }
  pid_t pid() const { return pid_; }
  // Sends `signal` and waits: the exit status, or 128 + the signal that killed it.
  int Stop(int signal = 15);

 private:
  RomsimProcess(pid_t pid, std::string slave) : pid_(pid), slave_(std::move(slave)) {}

  pid_t pid_;
  std::string slave_;
};

// The host's modem lines (TIOCM_* bits) as the romsim serving the pty slave
// `slave` holds them; false when no romsim answers for it.
bool ReadModemLines(const std::string& slave, std::uint32_t& bits);

// Runs `binary args...` to its end: its exit status, stdout and stderr in `output`.
int RunToEnd(const std::string& binary, const std::vector<std::string>& args, std::string& output);

// The host's end of the line: the pty slave opened raw, as a host opens its port.
class HostLine {
 public:
  static std::unique_ptr<HostLine> Open(const std::string& path, std::string& error);
  explicit HostLine(UniqueFd fd) : fd_(std::move(fd)) {}

  bool Send(std::uint8_t byte);
  // The next byte, or -1 when none came within `timeoutMs`.
  int Read(int timeoutMs);
  int fd() const { return fd_.get(); }

 private:
  UniqueFd fd_;
};

}  // namespace romprog::sim
