// romtool ident as a user runs it, process start to exit, against DATs
// generated here into a temporary folder (removed at the end):
//   1. a 32 KiB image against a Logiqx DAT of 50,000 ROMs (target: under 2 s);
//   2. the DAT reading alone: a small image against generated mame -listxml
//      look-alikes of two sizes (default 75 and 300 MB), throughput in MB/s
//      and romtool's peak memory, which must not grow with the file.
// Prints figures; passes or fails nothing.
//
//   ident_bench [--runs N] [--mb SMALL LARGE]
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/romtool/romtool_run.h"

namespace {

namespace fs = std::filesystem;

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(random());
  return bytes;
}

std::uint32_t BitwiseCrc32(const std::string& data) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : data) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void Save(const fs::path& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

// A rom element with random but well-formed figures.
std::string RandomRom(std::mt19937& random, int n) {
  static const int kSizes[] = {2048, 4096, 8192, 16384, 32768, 65536};
  char sha1[41];
  for (int k = 0; k < 40; k += 8)
    std::snprintf(sha1 + k, 9, "%08x", static_cast<unsigned>(random()));
  char rom[200];
  std::snprintf(rom, sizeof rom, "<rom name=\"r%06d.u%d\" size=\"%d\" crc=\"%08x\" sha1=\"%s\"/>",
                n, n % 40, kSizes[random() % 6], static_cast<unsigned>(random()), sha1);
  return rom;
}

// A Logiqx DAT of `roms` ROMs, 4 a game, whose last one is `last`.
void LogiqxDat(const fs::path& path, int roms, const std::string& last) {
  std::mt19937 random(50000);
  std::string text = "<?xml version=\"1.0\"?>\n<datafile>\n<header><name>bench</name></header>\n";
  for (int n = 0; n < roms; ++n) {
    if (n % 4 == 0) {
      text += (n ? "</game>\n" : "") + std::string("<game name=\"game") + std::to_string(n / 4) +
              "\">\n<description>Game " + std::to_string(n / 4) + "</description>\n";
    }
    text += (n + 1 == roms ? last : RandomRom(random, n)) + "\n";
  }
  Save(path, text + "</game>\n</datafile>\n");
}

// mame -listxml's shape: its DTD, machines with their descriptions, years,
// makers, ROMs and device references, until the file holds `megabytes` MB.
void ListXml(const fs::path& path, long megabytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  std::fputs(
      "<?xml version=\"1.0\"?>\n<!DOCTYPE mame [\n<!ELEMENT mame (machine+)>\n"
      "<!ATTLIST mame build CDATA #IMPLIED>\n<!ELEMENT machine (description, year?, "
      "manufacturer?, rom*, device_ref*)>\n<!ATTLIST machine name CDATA #REQUIRED>\n"
      "<!ATTLIST rom status (baddump|nodump|good) \"good\">\n]>\n\n<mame build=\"bench\">\n",
      file);
  std::mt19937 random(300);
  const long target = megabytes * 1000000;
  for (int n = 0; std::ftell(file) < target; ++n) {
    std::string machine = "\t<machine name=\"m" + std::to_string(n) +
                          "\" sourcefile=\"bench/m.cpp\">\n\t\t<description>Machine " +
                          std::to_string(n) +
                          " &amp; co</description>\n\t\t<year>1987</year>\n"
                          "\t\t<manufacturer>Bench</manufacturer>\n";
    for (int k = 0; k < 12; ++k) machine += "\t\t" + RandomRom(random, n * 12 + k) + "\n";
    machine += "\t\t<device_ref name=\"z80\"/>\n\t\t<device_ref name=\"ym2151\"/>\n\t</machine>\n";
    std::fputs(machine.c_str(), file);
  }
  std::fputs("</mame>\n", file);
  std::fclose(file);
}

struct Figures {
  double median = 0, slowest = 0;
  double cpu = 0;  // the median run's user and system time: the machine may be shared
  long rssKb = 0;
  bool ok = true;
};

Figures Runs(const std::vector<std::string>& args, int runs, int expected) {
  Figures figures;
  std::vector<romprog::bench::ChildRun> done;
  for (int k = 0; k < runs; ++k) {
    done.push_back(romprog::bench::Romtool(args));
    figures.ok = figures.ok && done.back().status == expected;
    figures.rssKb = std::max(figures.rssKb, done.back().maxRssKb);
  }
  std::sort(done.begin(), done.end(),
            [](const auto& a, const auto& b) { return a.seconds < b.seconds; });
  figures.median = done[done.size() / 2].seconds;
  figures.cpu = done[done.size() / 2].cpuSeconds;
  figures.slowest = done.back().seconds;
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  long small = 75, large = 300;
  for (int k = 1; k < argc; ++k) {
    const std::string arg = argv[k];
    if (arg == "--runs" && k + 1 < argc) runs = std::max(1, std::atoi(argv[++k]));
    if (arg == "--mb" && k + 2 < argc) {
      small = std::atol(argv[++k]);
      large = std::atol(argv[++k]);
    }
  }
  const fs::path dir = fs::temp_directory_path() / ("ident_bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string image = RandomBytes(32768, 7);
  Save(dir / "dump.bin", image);
  // The image's own ROM, last in the DAT, with the CRC-32 alone: the whole
  // DAT is read and every ROM judged before the one that matches.
  char crc[16];
  std::snprintf(crc, sizeof crc, "%08x", static_cast<unsigned>(BitwiseCrc32(image)));
  LogiqxDat(dir / "50k.dat", 50000,
            "<rom name=\"dump.bin\" size=\"32768\" crc=\"" + std::string(crc) + "\"/>");
  const Figures ident = Runs({"ident", dir / "dump.bin", "--dat", dir / "50k.dat"}, runs, 0);
  std::printf(
      "ident of a 32 KiB image, Logiqx DAT of 50,000 ROMs (%.1f MB): median %.3f s "
      "(CPU %.3f s), slowest %.3f s, peak memory %ld KiB%s  (target: under 2 s)\n",
      static_cast<double>(fs::file_size(dir / "50k.dat")) / 1e6, ident.median, ident.cpu,
      ident.slowest, ident.rssKb, ident.ok ? "" : "  [romtool did not identify it]");

  for (long megabytes : {small, large}) {
    const fs::path xml = dir / ("listxml-" + std::to_string(megabytes) + ".xml");
    ListXml(xml, megabytes);
    const double size = static_cast<double>(fs::file_size(xml)) / 1e6;
    const Figures read = Runs({"ident", dir / "dump.bin", "--dat", xml}, std::min(runs, 3), 9);
    std::printf(
        "reading a %.0f MB -listxml look-alike: median %.2f s, %.0f MB/s (%.0f MB/s of "
        "CPU time), peak memory %ld KiB%s\n",
        size, read.median, size / read.median, size / read.cpu, read.rssKb,
        read.ok ? "" : "  [romtool did not exit 9]");
    fs::remove(xml);
  }
  fs::remove_all(dir);
  return 0;
}
