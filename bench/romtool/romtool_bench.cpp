// romtool against romsim on a pty, as a user runs it: process start to exit.
//   1. unpaced 27C256 read: time per byte next to a bare round-trip loop on
//      the same pty in the same run (the floor any host can reach);
//   2. paced 27C64 read (romsim --pace 9600) next to the line's own limit;
//   3. peak resident memory of romtool.
// Prints figures; it passes or fails nothing.
//
//   romtool_bench [--runs N]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/romtool/romtool_run.h"
#include "sim/host/romsim_client.h"

namespace {

using Clock = std::chrono::steady_clock;
using romprog::bench::ChildRun;
using romprog::bench::Romtool;
using romprog::sim::HostLine;
using romprog::sim::RomsimProcess;

constexpr int k27C256 = 32768;
constexpr int k27C64 = 8192;
constexpr int kAck = 0xAA;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// One bare read of `cells` cells with `command`: microseconds per cell, < 0
// when romsim fell silent.
double BareRead(HostLine& line, int command = 0x80, int cells = k27C256) {
  const auto start = Clock::now();
  line.Send(static_cast<std::uint8_t>(command));
  if (line.Read(1000) < 0) return -1;
  for (int a = 0; a < cells; ++a) {
    if (line.Read(1000) < 0) return -1;
    line.Send(kAck);
  }
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / cells;
}

std::unique_ptr<RomsimProcess> StartRomsim(const std::vector<std::string>& args) {
  std::string error;
  auto sim = RomsimProcess::Start(ROMSIM_BINARY, args, error);
  if (!sim) std::fprintf(stderr, "romtool_bench: %s\n", error.c_str());
  return sim;
}

long Unpaced(int runs, const std::string& out) {
  auto sim = StartRomsim({});
  if (!sim) return -1;
  std::vector<double> bare, tool;
  long maxRss = 0;
  for (int r = 0; r < runs; ++r) {
    {
      std::string error;
      auto line = HostLine::Open(sim->slave(), error);
      const double perByte = line ? BareRead(*line) : -1;
      if (perByte < 0) return -1;
      bare.push_back(perByte);
    }
    usleep(400 * 1000);  // romsim ends the exchange on a pause in the line
    const ChildRun run = Romtool({"read", "--no-log", "-p", sim->slave(), "-c", "27C256", out});
    if (run.status != 0) {
      std::fprintf(stderr, "romtool_bench: romtool read ended with %d\n", run.status);
      return -1;
    }
    tool.push_back(run.seconds * 1e6 / k27C256);
    maxRss = std::max(maxRss, run.maxRssKb);
    std::printf("run %d: bare %.1f us/byte, romtool %.1f us/byte (whole process)\n", r + 1,
                bare.back(), tool.back());
    usleep(400 * 1000);
  }
  const double ratio = Median(tool) / Median(bare);
  std::printf(
      "unpaced 27C256 read: bare median %.1f us/byte, romtool median %.1f us/byte, "
      "ratio %.3f (target <= 1.10)\n",
      Median(bare), Median(tool), ratio);
  return maxRss;
}

long Paced(const std::string& out) {
  auto sim = StartRomsim({"--pace", "9600"});
  if (!sim) return -1;
  const ChildRun run = Romtool({"read", "--no-log", "-p", sim->slave(), "-c", "27C64", out});
  if (run.status != 0) return -1;
  usleep(400 * 1000);
  // The same read by the bare loop: what romsim's own pacing costs.
  std::string error;
  auto line = HostLine::Open(sim->slave(), error);
  const double bare = line ? BareRead(*line, 0x20, k27C64) * k27C64 / 1e6 : -1;
  // Command and reply, then a data byte and its acknowledge per cell: 10 bit
  // times each way at 9600 baud.
  const double limit = (k27C64 + 1) * 2 * 10 / 9600.0;
  std::printf(
      "paced 27C64 read: romtool %.2f s (whole process), bare loop %.2f s, line limit "
      "%.2f s; romtool / limit %.4f (target <= 1.01), romtool / bare %.4f\n",
      run.seconds, bare, limit, run.seconds / limit, run.seconds / bare);
  return run.maxRssKb;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  if (argc == 3 && std::string(argv[1]) == "--runs") runs = std::max(1, std::atoi(argv[2]));
  const std::string out = "/tmp/romtool_bench_" + std::to_string(getpid()) + ".bin";
  const long unpacedRss = Unpaced(runs, out);
  const long pacedRss = Paced(out);
  std::remove(out.c_str());
  if (unpacedRss < 0 || pacedRss < 0) return 1;
  std::printf("romtool peak memory (ru_maxrss): %.2f MB (target < 10 MB)\n",
              std::max(unpacedRss, pacedRss) / 1024.0);
  return 0;
}
