// Several programmers at once against one: four romsims at --pace 9600 on
// four ptys, `romtool write -p A -p B -p C -p D` of a 27C64 (precheck,
// write, read back), next to the same write on one port. Prints the wall
// time of each, their ratio (goal: at most 1.05) and romtool's CPU time per
// port as a share of one core (goal: under 5 %). Passes or fails nothing.
//
//   romtool_ports_bench [PORTS]   (default 4)
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/romtool/romtool_run.h"
#include "sim/host/romsim_client.h"

namespace {

using romprog::bench::ChildRun;
using romprog::sim::RomsimProcess;

// The write on `ports` paced romsims, each with a blank chip of its own.
ChildRun WriteOn(int ports, const std::filesystem::path& folder, const std::string& image) {
  std::vector<std::unique_ptr<RomsimProcess>> sims;
  std::vector<std::string> args{"write", "--no-log", "-c", "27C64"};
  for (int k = 0; k < ports; ++k) {
    const std::string chip = folder / ("chip" + std::to_string(ports) + "-" + std::to_string(k));
    std::filesystem::remove(chip);
    std::string error;
    sims.push_back(RomsimProcess::Start(ROMSIM_BINARY, {"--chip", chip, "--pace", "9600"}, error));
    if (!sims.back()) {
      std::fprintf(stderr, "romtool_ports_bench: %s\n", error.c_str());
      return {};
    }
    args.insert(args.end(), {"-p", sims.back()->slave()});
  }
  args.push_back(image);
  // RTS reaches romsim through the modem-lines library, as in the tests.
  setenv("LD_PRELOAD", ROMSIM_LINES64, 1);
  const ChildRun run = romprog::bench::Romtool(args);
  unsetenv("LD_PRELOAD");
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const int ports = argc > 1 ? std::max(2, std::atoi(argv[1])) : 4;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("romtool_ports_bench_" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string image = folder / "image.bin";
  std::string bytes(8192, '\0');
  std::mt19937 random(64);
  for (char& byte : bytes) byte = static_cast<char>(random());
  std::ofstream(image, std::ios::binary) << bytes;

  const ChildRun one = WriteOn(1, folder, image);
  const ChildRun many = WriteOn(ports, folder, image);
  std::filesystem::remove_all(folder);
  if (one.status != 0 || many.status != 0) {
    std::fprintf(stderr, "romtool_ports_bench: romtool ended with %d and %d\n", one.status,
                 many.status);
    return 1;
  }
  std::printf("27C64 write with precheck and read-back at 9600 baud (romsim --pace 9600):\n");
  std::printf("  1 port:  %.2f s, romtool CPU %.2f s (%.2f %% of a core)\n", one.seconds,
              one.cpuSeconds, 100 * one.cpuSeconds / one.seconds);
  std::printf("  %d ports: %.2f s, romtool CPU %.2f s (%.2f %% of a core per port)\n", ports,
              many.seconds, many.cpuSeconds, 100 * many.cpuSeconds / many.seconds / ports);
  std::printf("  %d ports / 1 port: %.3f (goal <= 1.05); CPU per port %.2f %% (goal < 5 %%)\n",
              ports, many.seconds / one.seconds, 100 * many.cpuSeconds / many.seconds / ports);
  return 0;
}
