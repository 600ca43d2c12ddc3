// The rounds of a chip command over its ports and its next chips, with a
// fake job on each port: pseudo-terminals stand in for the programmers' ports
// (they open as serial ports do; the fake job never talks to them).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "cli/command_line/command_table.h"
#include "cli/images/port_files.h"
#include "cli/run/next_chip_loop.h"
#include "tests/support/cli_test_support.h"

namespace romtool::testing {
namespace {

// A pseudo-terminal's slave, as a port's name.
class FakePort {
 public:
  FakePort() : master_(posix_openpt(O_RDWR | O_NOCTTY)) {
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
      throw std::runtime_error("no pseudo-terminal");
    }
    path_ = ptsname(master_);
  }
  ~FakePort() { close(master_); }
  FakePort(const FakePort&) = delete;
  FakePort& operator=(const FakePort&) = delete;

  const std::string& path() const { return path_; }
  // What a file name says of it: /dev/pts/3 -> "pts-3".
  std::string Label() const { return "pts-" + path_.substr(std::string("/dev/pts/").size()); }

 private:
  int master_;
  std::string path_;
};

// What one chip's job was handed.
struct Seen {
  std::string port;
  std::vector<std::string> ports;
  std::string file;        // the job's FILE
  std::string recordFile;  // the file its log entry names
  int sequence = 0;
  bool hasSerial = false;
  std::uint64_t serial = 0;
  int serialCells = 0;  // cells 0x1FF0 and 0x1FF1 of its image, little-endian
  std::string again;    // the write that would finish its job
};

// The job on every port: it notes what it was handed and ends as `ending`
// says for the port and the job's number there (from 1).
class FakeJobs {
 public:
  using Ending = std::function<int(const std::string& port, int nth)>;
  explicit FakeJobs(Ending ending = [](const std::string&, int) { return kSuccess; })
      : ending_(std::move(ending)) {}

  // `portFiles` as read gives them (PortFiles), or none.
  ChipSteps Steps(std::vector<std::string> portFiles = {}) {
    return {nullptr, [this](const ChipJob& job) { return Run(job); }, std::move(portFiles)};
  }
  // The jobs on `port`, in order.
  std::vector<Seen> On(const std::string& port) const {
    std::vector<Seen> on;
    for (const Seen& seen : seen_) {
      if (seen.port == port) on.push_back(seen);
    }
    return on;
  }
  std::size_t Count() const { return seen_.size(); }

 private:
  int Run(const ChipJob& job) {
    Seen seen{job.options.port,
              job.options.ports,
              job.file,
              job.record.file,
              job.record.sequence,
              job.record.hasSerial,
              job.record.serial,
              job.image[0x1FF0] | job.image[0x1FF1] << 8,
              CommandToContinue(job, Command::Write)};
    const std::lock_guard<std::mutex> hold(lock_);
    seen_.push_back(seen);
    return ending_(seen.port, static_cast<int>(On(seen.port).size()));
  }

  Ending ending_;
  mutable std::mutex lock_;
  std::vector<Seen> seen_;
};

// The two streams a run speaks on, read back as text.
class Said {
 public:
  Said() : out_(std::tmpfile()), err_(std::tmpfile()) {}
  ~Said() {
    std::fclose(out_);
    std::fclose(err_);
  }
  Said(const Said&) = delete;
  Said& operator=(const Said&) = delete;

  Streams streams() const { return {out_, err_}; }
  std::string Err() const { return Text(err_); }

 private:
  static std::string Text(std::FILE* file) {
    std::fflush(file);
    std::fseek(file, 0, SEEK_SET);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    std::fseek(file, 0, SEEK_END);
    return text;
  }

  std::FILE* out_;
  std::FILE* err_;
};

// The answers typed at the next-chip prompt.
class Answers {
 public:
  explicit Answers(const std::string& typed) : file_(std::tmpfile()) {
    std::fputs(typed.c_str(), file_);
    std::rewind(file_);
  }
  ~Answers() { std::fclose(file_); }
  Answers(const Answers&) = delete;
  Answers& operator=(const Answers&) = delete;
  std::FILE* file() const { return file_; }

 private:
  std::FILE* file_;
};

Options Parsed(const std::vector<std::string>& args) {
  Options options;
  std::string error;
  EXPECT_TRUE(ParseOptions(args, options, error)) << error;
  return options;
}

romprog::Image Blank() {
  romprog::Image image{};
  image.fill(0xFF);
  return image;
}

// The record a chip command starts its rounds from, the file's sums noted.
JobRecord BaseFor(const Options& options, const romprog::Image& image) {
  JobRecord base;
  base.command = CommandWord(options.command);
  base.port = options.port;
  base.chip = options.chip->name;
  base.file = options.files[0];
  base.NoteFile(image.data(), options.chip->activeSize);
  return base;
}

int RunRounds(const Options& options, const romprog::Image& image, FakeJobs& jobs, const Said& said,
              std::FILE* input = nullptr) {
  // Read names each port's file; the other commands take theirs on every port.
  const ChipSteps steps = jobs.Steps(options.command == Command::Read ? PortFiles(options)
                                                                      : std::vector<std::string>());
  return RunOnPorts(options, said.streams(), steps, image, BaseFor(options, image), input);
}

std::vector<std::string> LogLines(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream text(ReadWhole(path));
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

std::size_t Times(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

#define EXPECT_SAYS(text, part) \
  EXPECT_NE((text).find(part), std::string::npos) << "wanted: " << (part) << "\n" << (text)

// One round: each port its own job, with a command to go on for that port
// alone; a port that does not open is a job that failed; the worst code wins.
TEST(NextChipLoop, OneRoundTakesEveryPortOnceAndEndsWithTheWorst) {
  TempDir dir;
  FakePort a, b;
  const std::string missing = dir / "no-such-port";
  const std::string log = dir / "log.jsonl";
  const std::string file = dir / "image.bin";
  const Options options = Parsed(
      {"write", "-c", "27C64", "-p", a.path(), "-p", b.path(), "-p", missing, "--log", log, file});
  FakeJobs jobs([&b](const std::string& port, int) { return port == b.path() ? kChipFault : 0; });
  Said said;
  EXPECT_EQ(RunRounds(options, Blank(), jobs, said), kNoAnswer);
  ASSERT_EQ(jobs.Count(), 2u);
  for (const FakePort* port : {&a, &b}) {
    const std::vector<Seen> seen = jobs.On(port->path());
    ASSERT_EQ(seen.size(), 1u) << port->path();
    EXPECT_EQ(seen[0].ports, std::vector<std::string>{port->path()});
    EXPECT_EQ(seen[0].file, file);
    EXPECT_EQ(seen[0].sequence, 0);
    EXPECT_EQ(seen[0].again,
              "romtool write -c 27C64 -p " + port->path() + " --log " + log + " " + file);
  }
  const std::vector<std::string> lines = LogLines(log);
  ASSERT_EQ(lines.size(), 3u);
  std::vector<std::string> logged;
  for (const std::string& line : lines) {
    logged.push_back(LogField(line, "port") + " " + LogField(line, "exit"));
  }
  std::sort(logged.begin(), logged.end());
  std::vector<std::string> wanted = {a.path() + " 0", b.path() + " 1", missing + " 3"};
  std::sort(wanted.begin(), wanted.end());
  EXPECT_EQ(logged, wanted);
  const std::string err = said.Err();
  EXPECT_SAYS(err, missing + ": romtool: cannot open port");
  EXPECT_SAYS(err,
              "3 ports: 1 ok, 2 failed (" + b.path() + ": fault, " + missing + ": no-answer); ");
}

// Read saves each port's chip to a file of its own, named for the port; a
// write takes the same file on every port.
TEST(NextChipLoop, ReadGivesEachPortItsOwnFile) {
  TempDir dir;
  FakePort a, b;
  // The file each port's job took, and the one its log entry names.
  const auto files = [&](const std::string& command) {
    FakeJobs jobs;
    Said said;
    EXPECT_EQ(RunRounds(Parsed({command, "-c", "27C64", "-p", a.path(), "-p", b.path(), "--no-log",
                                dir / "chip.bin"}),
                        Blank(), jobs, said),
              kSuccess);
    std::vector<std::string> taken;
    for (const FakePort* port : {&a, &b}) {
      const Seen seen = jobs.On(port->path()).at(0);
      taken.push_back(seen.file + " " + seen.recordFile);
    }
    return taken;
  };
  const auto own = [&dir](const FakePort& port) {
    const std::string file = dir / ("chip-" + port.Label() + ".bin");
    return file + " " + file;
  };
  EXPECT_EQ(files("read"), (std::vector<std::string>{own(a), own(b)}));
  const std::string same = dir / "chip.bin";
  EXPECT_EQ(files("write"), (std::vector<std::string>{same + " " + same, same + " " + same}));
}

// --repeat: chip after chip, numbered, the prompt between them; each told
// and counted, and the worst code is the run's.
TEST(NextChipLoop, RepeatGoesOnAtEachEnterUntilQ) {
  TempDir dir;
  FakePort port;
  const Options options = Parsed(
      {"write", "--repeat", "-c", "27C64", "-p", port.path(), "--no-log", dir / "image.bin"});
  FakeJobs jobs([](const std::string&, int nth) { return nth == 2 ? kChipFault : 0; });
  Said said;
  const Answers answers("\n\nq\n");
  EXPECT_EQ(RunRounds(options, Blank(), jobs, said, answers.file()), kChipFault);
  const std::vector<Seen> seen = jobs.On(port.path());
  ASSERT_EQ(seen.size(), 3u);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(seen[k].sequence, k + 1);
  EXPECT_EQ(seen[0].again.find("--repeat"), std::string::npos) << seen[0].again;
  const std::string err = said.Err();
  EXPECT_EQ(Times(err, "put the next chip in, then Enter (q to finish) "), 3u) << err;
  // 8192 cells of 0xFF: 0x1FE000, of which the sum keeps 16 bits.
  EXPECT_SAYS(err, "chip 1: ok, 27C64, E000 sum, ");
  EXPECT_SAYS(err, "chip 2: fault, 27C64, ");
  EXPECT_SAYS(err, "1 ok, 1 failed\n");
  EXPECT_SAYS(err, "3 chips: 2 ok, 1 failed; ");
}

// A run ends after its count of chips, at the end of its input, at Q, and
// at once (saying why) when there is no input to answer from.
TEST(NextChipLoop, ARunEndsAtItsCountAtTheInputsEndOrWithoutAnInput) {
  TempDir dir;
  FakePort port;
  const auto run = [&](const std::string& count, std::FILE* input, Said& said) {
    std::vector<std::string> args = {"write", "--repeat"};
    if (!count.empty()) args.push_back(count);
    args.insert(args.end(), {"-c", "27C64", "-p", port.path(), "--no-log", dir / "image.bin"});
    FakeJobs jobs;
    EXPECT_EQ(RunRounds(Parsed(args), Blank(), jobs, said, input), kSuccess);
    return jobs.Count();
  };
  const std::string prompt = "put the next chip in";
  Said counted;
  const Answers enough("\n\n\n\n");
  EXPECT_EQ(run("2", enough.file(), counted), 2u);
  EXPECT_EQ(Times(counted.Err(), prompt), 1u) << counted.Err();
  EXPECT_SAYS(counted.Err(), "2 chips: 2 ok, 0 failed; ");
  Said ended;
  const Answers none("");
  EXPECT_EQ(run("", none.file(), ended), 1u);
  EXPECT_EQ(Times(ended.Err(), prompt), 1u);
  Said finished;
  const Answers q("Q\n\n");
  EXPECT_EQ(run("", q.file(), finished), 1u);
  Said alone;
  EXPECT_EQ(run("", nullptr, alone), 1u);
  EXPECT_SAYS(alone.Err(), "there is no terminal to answer the next-chip prompt");
  EXPECT_EQ(Times(alone.Err(), prompt), 0u);
}

// --serial: each chip its own number in its image; a chip that fails gives
// its number back to the next one, and the command to finish it gives none.
TEST(NextChipLoop, SerialsNumberTheChipsAndAFailedChipsGoesToTheNext) {
  TempDir dir;
  FakePort a, b;
  const std::string log = dir / "log.jsonl";
  const Options options = Parsed({"write", "--repeat", "--serial", "0x1FF0:2:le:100", "-c", "27C64",
                                  "-p", a.path(), "-p", b.path(), "--log", log, dir / "image.bin"});
  FakeJobs jobs([&b](const std::string& port, int nth) {
    return port == b.path() && nth == 1 ? kChipFault : 0;
  });
  Said said;
  const Answers answers("\nq\n");
  EXPECT_EQ(RunRounds(options, Blank(), jobs, said, answers.file()), kChipFault);
  const std::vector<Seen> onA = jobs.On(a.path()), onB = jobs.On(b.path());
  ASSERT_EQ(onA.size(), 2u);
  ASSERT_EQ(onB.size(), 2u);
  EXPECT_EQ(onA[0].serial, 100u);
  EXPECT_EQ(onB[0].serial, 101u);
  EXPECT_EQ(onA[1].serial, 101u);
  EXPECT_EQ(onB[1].serial, 102u);
  for (const Seen& seen : {onA[0], onA[1], onB[0], onB[1]}) {
    EXPECT_TRUE(seen.hasSerial);
    EXPECT_EQ(static_cast<std::uint64_t>(seen.serialCells), seen.serial);
    EXPECT_SAYS(seen.again, "--serial 0x1FF0:2:le -c 27C64 -p " + seen.port + " --log");
  }
  EXPECT_SAYS(said.Err(), "serial 101, ");
  EXPECT_EQ(LogLines(log).size(), 4u);
}

// Without START the serials go on after the job log's last for the file;
// one that does not fit, or a serial over the file's data or outside the
// cells --at writes, stops the run before its chip.
TEST(NextChipLoop, SerialsGoOnFromTheLogAndStopBeforeAChipTheyCannotGo) {
  TempDir dir;
  FakePort port;
  const std::string log = dir / "log.jsonl";
  const auto write = [&](const std::vector<std::string>& more) {
    std::vector<std::string> args = {"write", "-c", "27C64", "-p", port.path(), "--log", log};
    args.insert(args.end(), more.begin(), more.end());
    args.push_back(dir / "image.bin");
    return Parsed(args);
  };
  Said said;
  FakeJobs first;
  EXPECT_EQ(RunRounds(write({"--serial", "0x1FF0:2:le:41"}), Blank(), first, said), kSuccess);
  EXPECT_EQ(first.On(port.path()).at(0).serial, 41u);
  EXPECT_SAYS(first.On(port.path()).at(0).again, "--serial 0x1FF0:2:le:41 ");
  FakeJobs next;
  EXPECT_EQ(RunRounds(write({"--serial", "0x1FF0:2"}), Blank(), next, said), kSuccess);
  EXPECT_EQ(next.On(port.path()).at(0).serial, 42u);

  FakeJobs tooBig;
  const Answers answers("\n\n");
  EXPECT_EQ(RunRounds(write({"--repeat", "--serial", "0x1FF0:1:le:255"}), Blank(), tooBig, said,
                      answers.file()),
            kUsageOrFile);
  EXPECT_EQ(tooBig.Count(), 1u);
  EXPECT_SAYS(said.Err(), "romtool: serial 256 does not fit in 1 cell; nothing written");

  romprog::Image data = Blank();
  data[0x1FF1] = 0x12;
  FakeJobs overData;
  EXPECT_EQ(RunRounds(write({"--serial", "0x1FF0:2:le:1"}), data, overData, said), kUsageOrFile);
  EXPECT_SAYS(said.Err(), "--serial: cells 0x1FF0 to 0x1FF1 hold data of " + dir / "image.bin" +
                              " (0xFF 0x12)");
  FakeJobs outside;
  const Options at = write({"--serial", "0x1FF0:2:le:1"});
  JobRecord base = BaseFor(at, Blank());
  base.at = 0x1000;
  base.atSize = 0x800;
  EXPECT_EQ(RunOnPorts(at, said.streams(), outside.Steps(), Blank(), base, nullptr), kUsageOrFile);
  EXPECT_SAYS(said.Err(), "--serial: its cells lie outside those --at writes");
  EXPECT_EQ(overData.Count() + outside.Count(), 0u);
}

}  // namespace
}  // namespace romtool::testing
