// The bare round trip on a pty against romsim reading a 27C256: send 0xAA,
// wait for the next byte, as fast as a native loop can. It is the floor the
// host program's own figures are compared with.
//
//   pty_roundtrip [--romsim PATH] [--slave PTY] [--runs N]
// Without --slave it starts its own romsim (blank chip, no file).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "sim/host/romsim_client.h"

namespace {

using romprog::sim::HostLine;
using Clock = std::chrono::steady_clock;

constexpr int kCells = 32768;
constexpr int kReadCommand = 0x80;
constexpr int kAck = 0xAA;

struct Run {
  double usPerByte = 0;                // the whole read: command to last byte, per data byte
  double p50 = 0, p99 = 0, worst = 0;  // single round trips, microseconds
};

// One whole read; false when romsim stopped answering.
bool ReadChip(HostLine& line, Run& run) {
  std::vector<double> trips;
  trips.reserve(kCells);
  const auto start = Clock::now();
  line.Send(kReadCommand);
  if (line.Read(1000) < 0 || line.Read(1000) < 0) return false;
  for (int a = 1; a < kCells; ++a) {
    const auto sent = Clock::now();
    line.Send(kAck);
    if (line.Read(1000) < 0) return false;
    trips.push_back(std::chrono::duration<double, std::micro>(Clock::now() - sent).count());
  }
  line.Send(kAck);  // the last one ends the exchange at romsim
  run.usPerByte = std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kCells;
  std::sort(trips.begin(), trips.end());
  run.p50 = trips[trips.size() / 2];
  run.p99 = trips[trips.size() * 99 / 100];
  run.worst = trips.back();
  return true;
}

struct Args {
  std::string romsim = ROMSIM_BINARY;
  std::string slave;
  int runs = 5;
};

bool ParseArgs(int argc, char** argv, Args& args) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    if (name == "--romsim") {
      args.romsim = argv[i + 1];
    } else if (name == "--slave") {
      args.slave = argv[i + 1];
    } else if (name == "--runs") {
      args.runs = std::max(1, std::atoi(argv[i + 1]));
    } else {
      return false;
    }
  }
  return argc % 2 == 1;
}

}  // namespace

int main(int argc, char** argv) {
  Args args;
  if (!ParseArgs(argc, argv, args)) {
    std::fprintf(stderr, "usage: pty_roundtrip [--romsim PATH] [--slave PTY] [--runs N]\n");
    return 2;
  }
  std::string error;
  std::unique_ptr<romprog::sim::RomsimProcess> sim;
  if (args.slave.empty()) {
    sim = romprog::sim::RomsimProcess::Start(args.romsim, {}, error);
    if (!sim) {
      std::fprintf(stderr, "pty_roundtrip: %s\n", error.c_str());
      return 1;
    }
    args.slave = sim->slave();
  }
  auto line = HostLine::Open(args.slave, error);
  if (!line) {
    std::fprintf(stderr, "pty_roundtrip: %s\n", error.c_str());
    return 1;
  }
  std::printf("27C256 read on %s, %d cells, %d runs\n", args.slave.c_str(), kCells, args.runs);
  std::vector<double> perByte;
  for (int r = 0; r < args.runs; ++r) {
    Run run;
    if (!ReadChip(*line, run)) {
      std::fprintf(stderr, "pty_roundtrip: romsim stopped answering\n");
      return 1;
    }
    perByte.push_back(run.usPerByte);
    std::printf("run %d: %.1f us per byte (round trip p50 %.1f, p99 %.1f, worst %.0f us)\n", r + 1,
                run.usPerByte, run.p50, run.p99, run.worst);
  }
  std::sort(perByte.begin(), perByte.end());
  std::printf("median: %.1f us per byte\n", perByte[perByte.size() / 2]);
  return 0;
}
