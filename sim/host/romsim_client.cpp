#include "sim/host/romsim_client.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

#include "sim/modem_lines.h"
#include "sim/monotonic_clock.h"
#include "sim/raw_line.h"

namespace romprog::sim {
namespace {

// Forks and execs with stdout (and stderr too when `both`) into a pipe.
pid_t Spawn(const std::string& binary, const std::vector<std::string>& args, bool both,
            UniqueFd& output) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return -1;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(binary.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], 1);
    if (both) dup2(fds[1], 2);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  close(fds[1]);
  output = UniqueFd(fds[0]);
  return pid;
}

int WaitStatus(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Reads one line, giving up after `timeoutMs` or at end of file.
bool ReadLine(int fd, int timeoutMs, std::string& line) {
  const std::int64_t deadlineNs = MonotonicNs() + timeoutMs * 1000000LL;
  for (;;) {
    const std::int64_t leftMs = (deadlineNs - MonotonicNs()) / 1000000;
    pollfd p{fd, POLLIN, 0};
    if (leftMs <= 0 || poll(&p, 1, static_cast<int>(leftMs)) <= 0) return false;
    char c = 0;
    if (read(fd, &c, 1) != 1) return false;
    if (c == '\n') return true;
    line += c;
  }
}

}  // namespace

std::unique_ptr<RomsimProcess> RomsimProcess::Start(const std::string& binary,
                                                    const std::vector<std::string>& args,
                                                    std::string& error) {
  UniqueFd out;
  const pid_t pid = Spawn(binary, args, false, out);
  if (pid < 0) {
    error = std::string("cannot start romsim: ") + std::strerror(errno);
    return nullptr;
  }
  std::string slave;
  if (!ReadLine(out.get(), 5000, slave) || slave.empty()) {
    kill(pid, SIGKILL);
    error = "romsim did not start (exit status " + std::to_string(WaitStatus(pid)) + ")";
    return nullptr;
  }
  return std::unique_ptr<RomsimProcess>(new RomsimProcess(pid, slave));
}

RomsimProcess::~RomsimProcess() {
  if (pid_ > 0) Stop();
}

int RomsimProcess::Stop(int signal) {
  if (pid_ <= 0) return -1;
  kill(pid_, signal);
  const int status = WaitStatus(pid_);
  pid_ = -1;
  return status;
}

int RunToEnd(const std::string& binary, const std::vector<std::string>& args, std::string& output) {
  UniqueFd out;
  const pid_t pid = Spawn(binary, args, true, out);
  if (pid < 0) return -1;
  char buf[512];
  ssize_t n;
  while ((n = read(out.get(), buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR)) {
    if (n > 0) output.append(buf, static_cast<std::size_t>(n));
  }
  return WaitStatus(pid);
}

bool ReadModemLines(const std::string& slave, std::uint32_t& bits) {
  struct stat st {};
  if (stat(slave.c_str(), &st) != 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const int length = ModemLinesAddress(st.st_rdev, address.sun_path, sizeof address.sun_path);
  UniqueFd ask(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const ModemRequest request{kModemGet, 0};
  ModemReply reply{};
  const bool ok = ask.valid() &&
                  connect(ask.get(), reinterpret_cast<sockaddr*>(&address),
                          static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length)) == 0 &&
                  write(ask.get(), &request, sizeof request) == sizeof request &&
                  read(ask.get(), &reply, sizeof reply) == sizeof reply;
  bits = reply.bits;
  return ok;
}

std::unique_ptr<HostLine> HostLine::Open(const std::string& path, std::string& error) {
  UniqueFd fd(open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!fd.valid() || !SetRawLine(fd.get())) {
    error = "cannot open " + path + " as a raw line: " + std::strerror(errno);
    return nullptr;
  }
  return std::make_unique<HostLine>(std::move(fd));
}

bool HostLine::Send(std::uint8_t byte) {
  return write(fd_.get(), &byte, 1) == 1;
}

int HostLine::Read(int timeoutMs) {
  pollfd p{fd_.get(), POLLIN, 0};
  int n;
  while ((n = poll(&p, 1, timeoutMs)) < 0 && errno == EINTR) {
  }
  std::uint8_t byte = 0;
  if (n <= 0 || read(fd_.get(), &byte, 1) != 1) return -1;
  return byte;
}

}  // namespace romprog::sim
