#include "sim/romsim/own_session.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace romprog::sim {
namespace {

[[noreturn]] void RelayUntilChildEnds(pid_t child, const sigset_t& signals) {
  for (;;) {
    siginfo_t info{};
    const int sig = sigwaitinfo(&signals, &info);
    if (sig < 0) continue;
    if (sig != SIGCHLD) {
      kill(child, sig);
      continue;
    }
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) {
      std::_Exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    }
  }
}

}  // namespace

bool EnterOwnSession(std::string& error) {
  if (setsid() >= 0 || getsid(0) == getpid()) return true;
  sigset_t signals, old;
  sigemptyset(&signals);
  for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGCHLD}) sigaddset(&signals, sig);
  sigprocmask(SIG_BLOCK, &signals, &old);
  const pid_t child = fork();
  if (child < 0) {
    error = std::string("cannot fork: ") + std::strerror(errno);
    return false;
  }
  if (child > 0) RelayUntilChildEnds(child, signals);
  sigprocmask(SIG_SETMASK, &old, nullptr);
  if (setsid() < 0) {
    error = std::string("cannot start a session: ") + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace romprog::sim
