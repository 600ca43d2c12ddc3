// The fixture of the tests that run romtool itself against the programmer emulator on a
// pseudo-terminal, through the real POSIX port: round trips, blank checks, every fault of the
// emulator and the refusals that must leave the chip alone.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <regex>
#include <sstream>
#include <thread>

#include "cli/run/chip_exchange.h"
#include "sim/host/romsim_client.h"
#include "tests/cli/commands/dat_test_support.h"
#include "tests/support/cli_test_support.h"

extern char** environ;

namespace romtool::testing {

// Equal images, or where they first part.
inline ::testing::AssertionResult Same(const std::string& a, const std::string& b) {
  if (a == b) return ::testing::AssertionSuccess();
  const auto at = std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
  return ::testing::AssertionFailure()
         << "sizes " << a.size() << " and " << b.size() << ", first difference at " << at;
}

struct Outcome {
  int code = -1;
  std::string output;  // stdout and stderr together
};

struct RomtoolTest : ::testing::Test {
  TempDir dir;
  std::unique_ptr<romprog::sim::RomsimProcess> romsim;
  std::string port;
  bool framed = true;  // romtool runs with the modem-lines library

  // The job log goes to the test's folder, never to the real home; RTS
  // reaches romsim through the modem-lines library.
  void SetUp() override {
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    setenv("LD_PRELOAD", ROMSIM_LINES64, 1);
  }
  void Start(std::vector<std::string> extra = {}, const std::string& chip = std::string()) {
    if (!chip.empty()) WriteWhole(dir / "chip.bin", chip);
    std::vector<std::string> args{"--chip", dir / "chip.bin", "--silence-ms",
                                  "100",    "--log",          dir / "romsim.log"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::string error;
    romsim = romprog::sim::RomsimProcess::Start(ROMSIM_BINARY, args, error);
    ASSERT_TRUE(romsim) << error;
    port = romsim->slave();
  }
  void TearDown() override {
    if (!romsim) return;
    std::uint32_t lines = 0;
    EXPECT_TRUE(romprog::sim::ReadModemLines(port, lines));
    EXPECT_FALSE(lines & TIOCM_RTS) << "RTS left high";
    if (framed) {
      EXPECT_TRUE(FramedByRts(ReadWhole(dir / "romsim.log")));
    }
    romsim->Stop();
  }
  // Every exchange in romsim's log sits between a rise and a fall of RTS,
  // no byte came stray, and RTS never moved without an exchange.
  static ::testing::AssertionResult FramedByRts(const std::string& log) {
    std::string marks;
    for (std::size_t at = 0; at < log.size(); at = log.find('\n', at) + 1) {
      const std::string_view line(log.data() + at, log.find('\n', at) - at);
      for (auto [prefix, mark] :
           {std::pair{"rts=high", 'H'}, {"rts=low", 'L'}, {"command=", 'C'}, {"stray", 'S'}}) {
        if (line.rfind(prefix, 0) == 0) marks += mark;
      }
    }
    if (std::regex_match(marks, std::regex("(HCL)*"))) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "RTS framing " << marks << " in\n" << log;
  }

  // romtool with `args` started, its stderr into `said`, its stdin from
  // `input` when given (the write end `feed` closed in it); 0 when it did not start.
  pid_t Spawn(std::vector<std::string> args, const std::string& said, int input = -1,
              int feed = -1) {
    args.insert(args.begin(), ROMTOOL_BINARY);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input >= 0) {
      posix_spawn_file_actions_adddup2(&actions, input, 0);
      posix_spawn_file_actions_addclose(&actions, feed);
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 2, said.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, ROMTOOL_BINARY, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : 0;
  }
  static Outcome Ended(pid_t pid, const std::string& said) {
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWhole(said)};
  }
  // romtool with `args`, sent SIGINT after `ms`.
  Outcome Interrupt(std::vector<std::string> args, int ms) {
    const std::string said = dir / "said.txt";
    const pid_t pid = Spawn(args, said);
    if (pid == 0) return Outcome();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    kill(pid, SIGINT);
    const Outcome run = Ended(pid, said);
    std::filesystem::remove(said);
    return run;
  }
  Outcome Romtool(std::vector<std::string> args) {
    Outcome run;
    run.code = romprog::sim::RunToEnd(ROMTOOL_BINARY, args, run.output);
    return run;
  }
  // stdout alone in the outcome, stderr into `err`.
  Outcome RomtoolApart(std::vector<std::string> args, const std::string& err) {
    args.insert(args.begin(),
                {"-c", "e=$1; shift; exec \"$0\" \"$@\" 2>\"$e\"", ROMTOOL_BINARY, err});
    Outcome run;
    run.code = romprog::sim::RunToEnd("/bin/sh", args, run.output);
    return run;
  }
  Outcome OnChip(const std::string& command, const std::string& chip,
                 std::vector<std::string> more = {}) {
    std::vector<std::string> args{command, "-p", port, "-c", chip};
    args.insert(args.end(), more.begin(), more.end());
    return Romtool(args);
  }
  // The emulated chip as romsim keeps it on disk. romsim saves it and logs
  // an exchange once it has caught up with the line, at the latest after a
  // pause of --silence-ms.
  std::string Chip() {
    Settle();
    return ReadWhole(dir / "chip.bin");
  }
  void Settle() { std::this_thread::sleep_for(std::chrono::milliseconds(300)); }
  int Exchanges() {
    Settle();
    const std::string log = "\n" + ReadWhole(dir / "romsim.log");
    int count = 0;
    for (std::size_t at = 0; (at = log.find("\ncommand=", at)) != std::string::npos; ++at) ++count;
    return count;
  }
  static int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size()) {
      ++count;
    }
    return count;
  }
  std::string Saved(const std::string& name, int size) {
    std::string image = RandomBytes(size, static_cast<unsigned>(size + name.size()));
    WriteWhole(dir / name, image);
    return image;
  }
};

#define EXPECT_SAYS(run, text)                                                          \
  EXPECT_NE((run).output.find(text), std::string::npos) << "wanted: " << (text) << "\n" \
                                                        << (run).output

}  // namespace romtool::testing
