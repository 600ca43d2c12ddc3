// One romtool run as a user starts it, for the benchmarks: the output thrown
// away, the wall time and peak memory kept.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace romprog::bench {

struct ChildRun {
  int status = -1;
  double seconds = 0;
  long maxRssKb = 0;
  double cpuSeconds = 0;  // user and system time
};

// Runs romtool with its output thrown away; wall time and peak memory.
inline ChildRun Romtool(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  std::string binary = ROMTOOL_BINARY;
  argv.push_back(binary.data());
  std::vector<std::string> copies = args;
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  ChildRun run;
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    // A child that cannot silence itself would print into the figures.
    if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr)) {
      _exit(126);
    }
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  rusage usage{};
  int status = 0;
  wait4(pid, &status, 0, &usage);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.maxRssKb = usage.ru_maxrss;
  run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  return run;
}

}  // namespace romprog::bench
