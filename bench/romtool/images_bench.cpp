// romtool's image commands as a user runs them, process start to exit:
//   1. pack of four 8 KiB parts into a 27C256 image (Intel HEX out);
//   2. split of a 64 KiB 68000 image into two 27C256 halves, and the join back;
//   3. split and join of a 32 KiB image into two 16 KiB (27C128) halves.
// Prints the median and the slowest of N runs in milliseconds; passes or
// fails nothing.
//
//   images_bench [--runs N]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/romtool/romtool_run.h"

namespace {

// The milliseconds one romtool run took; < 0 when it did not exit 0.
double Run(const std::vector<std::string>& args) {
  const romprog::bench::ChildRun run = romprog::bench::Romtool(args);
  return run.status == 0 ? run.seconds * 1000 : -1;
}

void Save(const std::string& path, std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(random());
  std::ofstream(path, std::ios::binary) << bytes;
}

void Report(const char* what, const std::vector<std::string>& args, int runs) {
  std::vector<double> times;
  for (int k = 0; k < runs; ++k) {
    const double ms = Run(args);
    if (ms < 0) {
      std::printf("%-44s  failed: romtool did not exit 0\n", what);
      return;
    }
    times.push_back(ms);
  }
  std::sort(times.begin(), times.end());
  std::printf("%-44s  median %6.2f ms  slowest %6.2f ms  (target: well under 50 ms)\n", what,
              times[times.size() / 2], times.back());
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 21;
  if (argc == 3 && std::string(argv[1]) == "--runs") runs = std::max(1, std::atoi(argv[2]));
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("images_bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const auto at = [&dir](const char* name) { return (dir / name).string(); };
  for (int k = 0; k < 4; ++k) {
    Save(at(("part" + std::to_string(k) + ".bin").c_str()), 8192, static_cast<unsigned>(k + 1));
  }
  Save(at("m68k.bin"), 65536, 9);
  Save(at("image.bin"), 32768, 10);
  std::printf("romtool image commands, %d runs each, process start to exit\n", runs);
  Report("pack: four 8 KiB parts into a 27C256 (.hex)",
         {"pack", "-c", "27C256", "-o", at("four.hex"), at("part0.bin"), at("part1.bin") + "@8k",
          at("part2.bin") + "@16k", at("part3.bin") + "@24k"},
         runs);
  Report("split: 32 KiB into two 27C128 halves",
         {"split", "-c", "27C128", at("image.bin"), at("even.bin"), at("odd.bin")}, runs);
  Report("join: two 27C128 halves into 32 KiB",
         {"join", "-c", "27C128", at("even.bin"), at("odd.bin"), at("back.bin")}, runs);
  Report("split: 64 KiB into two 27C256 halves (.hex)",
         {"split", "-c", "27C256", at("m68k.bin"), at("hi.hex"), at("lo.hex")}, runs);
  Report("join: two 27C256 .hex halves into 64 KiB",
         {"join", "-c", "27C256", at("hi.hex"), at("lo.hex"), at("m68k-back.bin")}, runs);
  std::filesystem::remove_all(dir);
  return 0;
}
