// romtool itself against the programmer emulator on a pseudo-terminal, through
// the real POSIX port: round trips, blank checks, every fault of the emulator
// and the refusals that must leave the chip alone.
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
namespace {

// Equal images, or where they first part.
::testing::AssertionResult Same(const std::string& a, const std::string& b) {
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

TEST_F(RomtoolTest, WriteReadVerifyRoundTripForEachChip) {
  Start();
  const struct {
    const char* chip;
    int size;
  } chips[] = {{"27C64", 8192}, {"27C128", 16384}, {"27C256", 32768}};
  for (const auto& c : chips) {
    WriteWhole(dir / "chip.bin", std::string(32768, '\xFF'));
    romsim->Stop();
    Start();
    const std::string image = Saved("image.bin", c.size);
    const Outcome written = OnChip("write", c.chip, {dir / "image.bin"});
    ASSERT_EQ(written.code, 0) << written.output;
    EXPECT_SAYS(written, "read back and compared");
    EXPECT_TRUE(Same(Chip().substr(0, c.size), image)) << c.chip;
    EXPECT_TRUE(Same(Chip().substr(c.size), std::string(32768 - c.size, '\xFF'))) << c.chip;

    const Outcome readBack = OnChip("read", c.chip, {dir / "back.hex"});
    ASSERT_EQ(readBack.code, 0) << readBack.output;
    ASSERT_EQ(Romtool({"convert", "-c", c.chip, dir / "back.hex", dir / "back.bin"}).code, 0);
    EXPECT_TRUE(Same(ReadWhole(dir / "back.bin"), image)) << c.chip;

    const Outcome verify = OnChip("verify", c.chip, {dir / "back.hex"});
    EXPECT_EQ(verify.code, 0) << verify.output;
  }
}

TEST_F(RomtoolTest, SRecordFilesWriteAndReadBack) {
  Start();
  const std::string image = Saved("image.bin", 8192);
  ASSERT_EQ(Romtool({"convert", "-c", "27C64", dir / "image.bin", dir / "image.s19"}).code, 0);
  ASSERT_EQ(OnChip("write", "27C64", {dir / "image.s19"}).code, 0);
  ASSERT_EQ(OnChip("read", "27C64", {dir / "back.srec"}).code, 0);
  ASSERT_EQ(Romtool({"convert", "-c", "27C64", dir / "back.srec", dir / "back.bin"}).code, 0);
  EXPECT_TRUE(Same(ReadWhole(dir / "back.bin"), image));
  // "-": standard output needs --format; standard input is taken by what it holds.
  const Outcome unnamed = Romtool({"convert", "-c", "27C64", dir / "image.bin", "-"});
  EXPECT_EQ(unnamed.code, 2);
  EXPECT_SAYS(unnamed, "needs the format: add --format");
  const std::string romtool = ROMTOOL_BINARY;
  Outcome piped;
  piped.code =
      romprog::sim::RunToEnd("/bin/sh",
                             {"-c", romtool + " read -p " + port + " -c 27C64 --format srec - | " +
                                        romtool + " convert -c 27C64 - " + dir / "piped.bin"},
                             piped.output);
  EXPECT_EQ(piped.code, 0) << piped.output;
  EXPECT_TRUE(Same(ReadWhole(dir / "piped.bin"), image));
}

TEST_F(RomtoolTest, AReadThatCannotBeSavedIsKeptInTheJobLogFolder) {
  Start({"--pace", "115200"});
  std::filesystem::create_directory(dir / "gone");
  std::thread remover([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    std::filesystem::remove_all(dir / "gone");
  });
  const Outcome run = OnChip("read", "27C64", {dir / "gone/x.bin"});
  remover.join();
  EXPECT_EQ(run.code, 1) << run.output;
  EXPECT_SAYS(run, "cannot write " + dir / "gone/x.bin" + ": No such file or directory");
  const std::size_t at = run.output.find("kept in ") + 8;
  const std::string kept = run.output.substr(at, run.output.find(" instead") - at);
  EXPECT_EQ(kept.rfind(dir / "data/romprog/", 0), 0u) << run.output;
  EXPECT_TRUE(Same(ReadWhole(kept), Chip().substr(0, 8192)));
}

TEST_F(RomtoolTest, BlankCheckOfABlankAndAProgrammedChip) {
  Start();
  const Outcome blank = OnChip("blank", "27C256");
  EXPECT_EQ(blank.code, 0) << blank.output;
  std::string chip(32768, '\xFF');
  chip[5000] = '\x12';
  chip[6000] = '\x7F';
  chip[20000] = '\x00';  // past the 27C128
  romsim->Stop();
  Start({}, chip);
  const std::string found =
      "not blank: 2 programmed cells, 7 programmed bits; first 0x1388 (5000), last 0x1770 (6000)";
  const Outcome programmed = OnChip("blank", "27C128");
  EXPECT_EQ(programmed.code, 1) << programmed.output;
  EXPECT_SAYS(programmed, found);
  // The same with the port and the chip named before the command word.
  const Outcome before = Romtool({"-p", port, "-c", "27C128", "blank"});
  EXPECT_EQ(before.code, 1) << before.output;
  EXPECT_SAYS(before, found);
}

TEST_F(RomtoolTest, APortNamedByARelativePath) {
  Start();
  const std::string relative = std::filesystem::relative(port).string();
  ASSERT_FALSE(relative.empty());
  ASSERT_NE(relative[0], '/');
  const Outcome blank = Romtool({"blank", "-p", relative, "-c", "27C64"});
  EXPECT_EQ(blank.code, 0) << relative << ": " << blank.output;
}

// A made-up /dev and /sys: an FTDI adapter whose tty is romsim's pty.
TEST_F(RomtoolTest, PortsTellTheAdapterAndItsByIdNameOpensIt) {
  Start();
  namespace fs = std::filesystem;
  const fs::path dev = dir / "dev", sys = dir / "sys", usb = sys / "devices/pci0/usb1/1-2";
  fs::create_directories(dev / "serial/by-id");
  fs::create_directories(usb / "1-2:1.0/ttyUSB0");
  fs::create_directories(sys / "class/tty/ttyUSB0");
  for (auto [name, text] : {std::pair{"idVendor", "0403"},
                            {"idProduct", "6001"},
                            {"manufacturer", "FTDI"},
                            {"product", "FT232R USB UART"},
                            {"serial", "A10KX2B3"}}) {
    WriteWhole(usb / name, std::string(text) + "\n");
  }
  fs::create_directory_symlink("../../../devices/pci0/usb1/1-2/1-2:1.0/ttyUSB0",
                               sys / "class/tty/ttyUSB0/device");
  fs::create_symlink(port, dev / "ttyUSB0");
  const std::string byId = "usb-FTDI_FT232R_USB_UART_A10KX2B3-if00-port0";
  fs::create_symlink("../../ttyUSB0", dev / "serial/by-id" / byId);
  setenv("ROMPROG_DEV", dev.c_str(), 1);
  setenv("ROMPROG_SYSFS", sys.c_str(), 1);
  const Outcome ports = Romtool({"ports"});
  EXPECT_SAYS(ports, (dev / "ttyUSB0").string() + "  0403:6001  FTDI FT232R USB UART  serial " +
                         "A10KX2B3  " + (dev / "serial/by-id" / byId).string() + "\n");
  const Outcome blank = Romtool({"blank", "-p", byId, "-c", "27C64"});
  EXPECT_EQ(blank.code, 0) << blank.output;
  unsetenv("ROMPROG_DEV");
  unsetenv("ROMPROG_SYSFS");
}

TEST_F(RomtoolTest, BlankCheckBeforeWritingStopsAtAProgrammedChip) {
  std::string chip(32768, '\xFF');
  chip[7] = '\x00';
  Start({}, chip);
  Saved("image.bin", 8192);
  const Outcome run = OnChip("write", "27C64", {"--blank-check", dir / "image.bin"});
  EXPECT_EQ(run.code, 1) << run.output;
  EXPECT_SAYS(run, "not blank: 1 programmed cell, 8 programmed bits; first 0x0007 (7)");
  EXPECT_TRUE(Same(Chip(), chip));
}

TEST_F(RomtoolTest, VerifyListsEveryDifferenceAndWhetherWritingCanMendIt) {
  std::string chip = RandomBytes(32768, 4);
  chip.replace(100, 10, 10, '\xFF');
  chip[4095] = '\x00';
  Start({}, chip);
  std::string image = chip.substr(0, 8192);
  image.replace(100, 10, 10, '\x12');
  image[4095] = '\x41';
  WriteWhole(dir / "image.bin", image);
  const Outcome run = OnChip("verify", "27C64", {dir / "image.bin"});
  EXPECT_EQ(run.code, 1) << run.output;
  EXPECT_SAYS(run, "differs from " + dir / "image.bin" + " in 11 cells");
  EXPECT_SAYS(run, "cells 0x0064 (100) to 0x006D (109) differ (10 cells)");
  EXPECT_SAYS(run, "cell 0x0FFF (4095) differs: read 0x00, expected 0x41");
  EXPECT_SAYS(run, "1 cell needs a bit set (0 to 1)");
  image[4095] = '\x00';
  WriteWhole(dir / "image.bin", image);
  EXPECT_SAYS(OnChip("verify", "27C64", {dir / "image.bin"}),
              "writing " + dir / "image.bin" + " again may take them, unless a cell refuses again");
}

TEST_F(RomtoolTest, WriteReadsTheChipFirst) {
  std::string chip(32768, '\xFF');
  chip.replace(0, 100, 100, '\x0F');
  Start({}, chip);
  std::string image = chip.substr(0, 8192);
  image.replace(0, 30, 30, '\xF0');
  WriteWhole(dir / "image.bin", image);
  const Outcome refused = OnChip("write", "27C64", {dir / "image.bin"});
  EXPECT_EQ(refused.code, 1) << refused.output;
  EXPECT_SAYS(refused, "30 cells need a bit set (0 to 1)");
  EXPECT_SAYS(refused, "cell 0x0013 (19): chip 0x0F, image 0xF0\n  ... and 10 more");
  EXPECT_SAYS(refused, "erase the chip");
  EXPECT_EQ(Exchanges(), 1);
  image = chip.substr(0, 8192);
  image.replace(200, 10, 10, '\x00');
  WriteWhole(dir / "image.bin", image);
  const Outcome written = OnChip("write", "27C64", {dir / "image.bin"});
  EXPECT_EQ(written.code, 0) << written.output;
  EXPECT_SAYS(written, "10 of 8192 cells change");
  EXPECT_TRUE(Same(Chip().substr(0, 8192), image));
  const Outcome again = OnChip("write", "27C64", {dir / "image.bin"});
  EXPECT_EQ(again.code, 0) << again.output;
  EXPECT_SAYS(again, "already holds");
  EXPECT_EQ(Exchanges(), 5);  // check; check, write, verify; check
}

// A bank added at 0x2000 to a chip that holds another at 0: written over
// the whole chip, the first bank left as it was.
TEST_F(RomtoolTest, WriteAtACellKeepsTheOtherBanks) {
  std::string chip(32768, '\xFF');
  const std::string first = RandomBytes(8192, 11);
  chip.replace(0, 8192, first);
  Start({}, chip);
  const std::string bank = Saved("bank.bin", 8192);
  const Outcome written = OnChip("write", "27C256", {"--at", "0x2000", dir / "bank.bin"});
  EXPECT_EQ(written.code, 0) << written.output;
  const auto changed = 8192 - std::count(bank.begin(), bank.end(), '\xFF');
  EXPECT_SAYS(written, std::to_string(changed) + " of 32768 cells change");
  EXPECT_TRUE(Same(Chip(), first + bank + std::string(16384, '\xFF')));
  const Outcome verified = OnChip("verify", "27C256", {"--at", "8k", dir / "bank.bin"});
  EXPECT_EQ(verified.code, 0) << verified.output;
  EXPECT_SAYS(verified, "matches " + dir / "bank.bin" + " in cells 0x2000 (8192) to 0x3FFF");
  EXPECT_EQ(OnChip("verify", "27C256", {"--at", "0x4000", dir / "bank.bin"}).code, 1);
  EXPECT_NE(ReadWhole(dir / "data/romprog/romtool-log.jsonl").find("\"at\":\"0x2000\""),
            std::string::npos);
}

TEST_F(RomtoolTest, ReadPassesCatchAFlakyCellAndRepeatsAreNoted) {
  const std::string eighth = RandomBytes(8192, 9);
  Start({"--flaky-cell", "1234"}, eighth + eighth + eighth + eighth);
  const Outcome flaky = OnChip("read", "27C128", {"--passes", "2", dir / "out.bin"});
  EXPECT_EQ(flaky.code, 4) << flaky.output;
  EXPECT_SAYS(flaky, "cell 0x04D2 (1234) unstable");
  EXPECT_FALSE(std::filesystem::exists(dir / "out.bin"));
  const Outcome once = OnChip("read", "27C128", {dir / "out.bin"});
  EXPECT_EQ(once.code, 0) << once.output;
  EXPECT_SAYS(once, "2 identical copies of its first 8192 bytes");
  // Written, the cell reads wrong once: a second read tells it unstable.
  WriteWhole(dir / "image.bin", eighth);
  const Outcome written = OnChip("write", "27C64", {"--no-precheck", dir / "image.bin"});
  EXPECT_EQ(written.code, 1) << written.output;
  EXPECT_SAYS(written, "1 unstable cell (two reads disagree)");
  EXPECT_EQ(written.output.find("bits to clear"), std::string::npos) << written.output;
}

TEST_F(RomtoolTest, ReadWithADatNamesWhatWasRead) {
  const std::string image = RandomBytes(8192, 31);
  Start({}, image + std::string(24576, '\xFF'));
  WriteWhole(dir / "chips.dat",
             LogiqxDat(Game("mon", "Monitor", RomElement(dir, "mon.u3", image))));
  const Outcome read = OnChip("read", "27C64", {dir / "out.bin", "--dat", dir / "chips.dat"});
  EXPECT_EQ(read.code, 0) << read.output;
  EXPECT_SAYS(read, dir / "out.bin" + ": 8192 bytes, CRC-32 0x");
  EXPECT_SAYS(read, "  as is = mon.u3 of mon (Monitor): CRC-32 and SHA-1 agree\n  identified\n");
  // With --json the match is a JSON line of its own beside the job's.
  const Outcome json = RomtoolApart(
      {"read", "-p", port, "-c", "27C64", "--json", "--dat", dir / "chips.dat", dir / "j.bin"},
      dir / "err.txt");
  EXPECT_EQ(json.code, 0) << json.output << ReadWhole(dir / "err.txt");
  EXPECT_EQ(Count(json.output, "\n"), 2) << json.output;
  EXPECT_SAYS(json, "\"identified\":\"all\",\"matches\":[{\"piece\":\"whole\"");
  // A DAT that is not there is refused before the chip is read.
  const int before = Exchanges();
  const Outcome missing = OnChip("read", "27C64", {dir / "again.bin", "--dat", dir / "none.dat"});
  EXPECT_EQ(missing.code, 2) << missing.output;
  EXPECT_SAYS(missing, "cannot open " + dir / "none.dat");
  EXPECT_EQ(Exchanges(), before);
  EXPECT_FALSE(std::filesystem::exists(dir / "again.bin"));
}

// A failing chip: 40 weak bits that read 1 half the time. Twenty passes find
// every one; their merge is the chip as programmed, kept beside the file
// with the list of unstable cells; the file itself is not written.
TEST_F(RomtoolTest, RescueReadMergesThePassesOfAChipWithWeakBits) {
  const std::string chip = RandomBytes(8192, 25);
  Start({"--weak-bits", "40:0.5:7"}, chip + std::string(32768 - 8192, '\xFF'));
  const Outcome read =
      OnChip("read", "27C64", {"--passes", "20", "--map", dir / "weak.png", dir / "rom.bin"});
  EXPECT_EQ(read.code, 4) << read.output;
  EXPECT_SAYS(read, "40 unstable bits in 40 cells over 20 passes");
  EXPECT_SAYS(read, "rom.bin not written (the passes differ)");
  EXPECT_FALSE(std::filesystem::exists(dir / "rom.bin"));
  EXPECT_TRUE(Same(ReadWhole(dir / "rom.merged.bin"), chip));
  const std::string list = ReadWhole(dir / "rom.unstable.txt");
  EXPECT_EQ(Count(list, "\n0x") + (list.rfind("0x", 0) == 0), 40) << list;
  EXPECT_EQ(Count(list, "="), 40) << "one unstable bit a cell for this seed";
  const std::string log = ReadWhole(dir / "data/romprog/romtool-log.jsonl");
  EXPECT_SAYS((Outcome{0, log}), "\"result\":\"unstable\",\"exit\":4");
  EXPECT_SAYS((Outcome{0, log}), "\"passes\":20,\"unstable_cells\":40,\"unstable_bits\":40");
  EXPECT_SAYS(read, "red: unstable (read differently between passes), those bits yellow: 40 cells");
  EXPECT_EQ(ReadWhole(dir / "weak.png").substr(0, 8), "\x89PNG\r\n\x1a\n");

  // Until stable: the passes stop once 3 in a row add nothing, well before 100;
  // --json carries the figures.
  const Outcome stable = OnChip("read", "27C64", {"--until-stable", "3", "--json", dir / "s.bin"});
  EXPECT_EQ(stable.code, 4) << stable.output;
  EXPECT_SAYS(stable, "stable: 3 passes in a row found no new unstable cell");
  EXPECT_SAYS(stable, "\"unstable_bits\":40");
  EXPECT_EQ(stable.output.find("\"passes\":100,"), std::string::npos) << stable.output;
  EXPECT_TRUE(Same(ReadWhole(dir / "s.merged.bin"), chip));

  // Passes that agree write the file and no merge.
  romsim->Stop();
  Start();
  const Outcome clean = OnChip("read", "27C64", {"--passes", "3", dir / "clean.bin"});
  EXPECT_EQ(clean.code, 0) << clean.output;
  EXPECT_SAYS(clean, "all 3 passes read the same");
  EXPECT_TRUE(Same(ReadWhole(dir / "clean.bin"), chip));
  EXPECT_FALSE(std::filesystem::exists(dir / "clean.merged.bin"));
}

// Ctrl-C in the middle of many passes keeps what the finished ones give.
TEST_F(RomtoolTest, CtrlCBetweenPassesKeepsTheFinishedOnes) {
  const std::string chip = RandomBytes(8192, 26);
  // Paced, so that a pass lasts long enough to be stopped in its middle.
  Start({"--weak-bits", "5:0.5:3", "--pace", "115200"}, chip + std::string(32768 - 8192, '\xFF'));
  // Stopped once the third pass is under way (romsim saw its RTS rise): two
  // are finished.
  const std::string said = dir / "said.txt";
  const pid_t pid = Spawn({"read", "-p", port, "-c", "27C64", "--passes", "1000", "--log",
                           dir / "log.jsonl", dir / "r.bin"},
                          said);
  ASSERT_NE(pid, 0);
  for (int k = 0; k < 3000 && Count("\n" + ReadWhole(dir / "romsim.log"), "\nrts=high") < 3; ++k) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGINT);
  const Outcome run = Ended(pid, said);
  EXPECT_EQ(run.code, 130) << run.output;
  EXPECT_SAYS(run, "romtool: stopped at cell ");
  EXPECT_SAYS(run, "stopped after 2 passes of 1000: ");
  EXPECT_SAYS((Outcome{0, ReadWhole(dir / "log.jsonl")}), "\"passes\":2,");
  EXPECT_SAYS(run, "r.bin not written (the passes asked for were not all made)");
  EXPECT_FALSE(std::filesystem::exists(dir / "r.bin"));
  const std::string merged = ReadWhole(dir / "r.merged.bin");
  ASSERT_EQ(merged.size(), 8192u) << run.output;
  for (std::size_t a = 0; a < merged.size(); ++a) {
    ASSERT_EQ(merged[a] & chip[a], chip[a]) << "the merge holds no 0 the chip lacks, at " << a;
  }
}

// The marks of a bad read, named after every read and by check; the map
// shows them too.
TEST_F(RomtoolTest, CheckNamesAStuckDataBitAndADeadAddressLine) {
  const std::string chip = RandomBytes(8192, 27);
  const std::string whole = chip + std::string(32768 - 8192, '\xFF');
  Start({"--stuck-data-bit", "3:1"}, whole);
  const Outcome read = OnChip("read", "27C64", {dir / "stuck.bin"});
  EXPECT_EQ(read.code, 0) << read.output;
  EXPECT_SAYS(read, "note: data bit 3 (D3) reads 1 in all 8192 cells");
  const Outcome check = Romtool({"check", "-c", "27C64", dir / "stuck.bin"});
  EXPECT_EQ(check.code, 0) << check.output;
  EXPECT_SAYS(check, "data bit 3 (D3) reads 1 in all 8192 cells (0x0000-0x1FFF)");
  EXPECT_EQ(check.output.find("address line"), std::string::npos) << check.output;
  const Outcome map =
      Romtool({"map", "-c", "27C64", dir / "stuck.bin", "--png", dir / "stuck.png"});
  EXPECT_EQ(map.code, 0) << map.output;
  EXPECT_SAYS(map, "dark blue: zero (0x00): 0 cells");
  EXPECT_EQ(ReadWhole(dir / "stuck.png").substr(0, 4), "\x89PNG");

  romsim->Stop();
  Start({"--dead-address-line", "12"}, whole);
  EXPECT_EQ(OnChip("read", "27C64", {dir / "dead.bin"}).code, 0);
  const Outcome dead = Romtool({"check", "-c", "27C64", dir / "dead.bin"});
  EXPECT_SAYS(dead, "address line A12 changes nothing");
  EXPECT_SAYS(dead, "0x1000-0x1FFF repeats 0x0000-0x0FFF");
  EXPECT_EQ(dead.output.find("data bit"), std::string::npos) << dead.output;
  EXPECT_EQ(Romtool({"check", "-c", "27C64"}).code, 2) << "check takes a file";

  // verify --map marks what differs from the file: the upper half's cells
  // that are not the same as their lower twins.
  WriteWhole(dir / "file.bin", chip);
  int differing = 0;
  for (int a = 0x1000; a < 0x2000; ++a) differing += chip[a] != chip[a - 0x1000];
  const Outcome verify = OnChip("verify", "27C64", {"--map", dir / "v.png", dir / "file.bin"});
  EXPECT_EQ(verify.code, 1) << verify.output;
  EXPECT_SAYS(verify, "pink: differs from the file, those bits magenta: " +
                          std::to_string(differing) + " cells");
}

TEST_F(RomtoolTest, CtrlCStopsBetweenCellsAndLeavesNoFile) {
  Start({"--pace", "9600"});
  const Outcome read = Interrupt({"read", "-p", port, "-c", "27C256", dir / "x.hex"}, 800);
  EXPECT_EQ(read.code, 130);
  EXPECT_SAYS(read, "romtool: stopped at cell 0x0");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"chip.bin", "data", "romsim.log"}));
  EXPECT_NE(ReadWhole(dir / "data/romprog/romtool-log.jsonl").find("\"exit\":130"),
            std::string::npos);

  // A write stopped says how far the chip holds the file, and writing again finishes it.
  const std::string image = Saved("image.bin", 8192);
  const std::vector<std::string> write{"write", "-p", port, "-c", "27C64", dir / "image.bin"};
  const Outcome checking = Interrupt(write, 300);
  EXPECT_EQ(checking.code, 130);
  EXPECT_SAYS(checking, "nothing was written");
  std::vector<std::string> unchecked = write;
  unchecked.push_back("--no-precheck");
  const Outcome stopped = Interrupt(unchecked, 800);
  EXPECT_EQ(stopped.code, 130);
  std::string chip = Chip();
  const auto held = std::mismatch(image.begin(), image.end(), chip.begin()).first - image.begin();
  ASSERT_GT(held, 0);
  EXPECT_SAYS(stopped, "to " + CellName(static_cast<int>(held - 1)) + " of " + dir / "image.bin" +
                           "; cells " + CellName(static_cast<int>(held)) +
                           " to 0x1FFF (8191) "
                           "untouched");
  EXPECT_TRUE(Same(chip.substr(held), std::string(32768 - held, '\xFF')));
  // The command it gives finishes the job: the check before writing runs again.
  const std::string again = "romtool write -p " + port + " -c 27C64 " + dir / "image.bin";
  EXPECT_SAYS(stopped, "to finish the job: " + again + " (");
  EXPECT_NE(ReadWhole(dir / "data/romprog/romtool-log.jsonl")
                .find("\"cells_written\":" + std::to_string(held) + ",\"step\":\"write\""),
            std::string::npos);
  // The restarted romsim gets a new pty: the old name may by then be
  // another test's line, so the command is given the new one.
  const std::string stoppedOn = port;
  romsim->Stop();
  Start();  // unpaced, the same chip
  std::vector<std::string> given;
  std::istringstream words(again.substr(again.find(' ') + 1));
  for (std::string word; words >> word;) given.push_back(word == stoppedOn ? port : word);
  const Outcome finished = Romtool(given);
  EXPECT_EQ(finished.code, 0) << finished.output;
  EXPECT_TRUE(Same(Chip().substr(0, 8192), image));
}

// The next-chip loop driven through its input: at each prompt the test puts
// a blank chip in (romsim started anew behind the same link) and presses
// Enter. The chips get serials 100, 101, 102; a run without START goes on.
TEST_F(RomtoolTest, RepeatWritesChipAfterChipWithSerials) {
  const std::string link = dir / "programmer", blank(32768, '\xFF'), said = dir / "said.txt";
  Start({"--link", link}, blank);
  std::string image = Saved("image.bin", 8192);
  image.replace(0x1FF0, 2, 2, '\xFF');  // the serial's cells, left blank by the build
  WriteWhole(dir / "image.bin", image);
  int input[2];
  ASSERT_EQ(pipe(input), 0);
  std::vector<std::string> args{
      "write",          "-p", link, "-c", "27C64", "--repeat", "3", "--serial", "0x1FF0:2:le:100",
      dir / "image.bin"};
  const pid_t pid = Spawn(args, said, input[0], input[1]);
  ASSERT_NE(pid, 0);
  close(input[0]);
  std::string serials;
  for (int chip = 2; chip <= 3; ++chip) {
    {
      for (int wait = 0; wait < 300 && Count(ReadWhole(said), "q to finish") < chip - 1; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
      serials += Chip().substr(0x1FF0, 2);
      romsim->Stop();
      Start({"--link", link}, blank);
      ASSERT_EQ(write(input[1], "\n", 1), 1);
    }
  }
  close(input[1]);
  const Outcome run = Ended(pid, said);
  EXPECT_EQ(run.code, 0) << run.output;
  serials += Chip().substr(0x1FF0, 2);
  EXPECT_EQ(serials, std::string("\x64\0\x65\0\x66\0", 6)) << run.output;
  EXPECT_SAYS(run, "chip 3: ok, 27C64, ");
  EXPECT_SAYS(run, "3 chips: 3 ok, 0 failed");
  const Outcome log{0, ReadWhole(dir / "data/romprog/romtool-log.jsonl")};
  EXPECT_SAYS(log, "\"sequence\":3,\"serial\":102,\"result\":\"ok\"");
  romsim->Stop();
  Start({"--link", link}, blank);
  const Outcome fourth = Romtool(
      {"write", "-q", "-p", link, "-c", "27C64", "--serial", "0x1FF0:2", dir / "image.bin"});
  EXPECT_EQ(fourth.code, 0) << fourth.output;
  EXPECT_EQ(fourth.output, "");  // --quiet: errors only
  EXPECT_EQ(Chip().substr(0x1FF0, 2), std::string("\x67\0", 2));
  // The log's table shows each chip's serial in its own column.
  const std::string table = Romtool({"log", "-n", "1"}).output;
  const std::size_t column = table.find("serial");
  ASSERT_NE(column, std::string::npos) << table;
  EXPECT_EQ(table.substr(table.find('\n') + 1 + column, 4), "103 ") << table;
  const Outcome tooBig = Romtool(
      {"write", "-p", link, "-c", "27C64", "--serial", "0x1FF0:1:le:256", dir / "image.bin"});
  EXPECT_EQ(tooBig.code, 2) << tooBig.output;
  EXPECT_SAYS(tooBig, "serial 256 does not fit in 1 cell; nothing written");
  Saved("part.bin", 16);
  const Outcome outside = Romtool({"write", "-p", link, "-c", "27C64", "--at", "0x1000", "--serial",
                                   "0x10:2:le:1", dir / "part.bin"});
  EXPECT_EQ(outside.code, 2) << outside.output;
  EXPECT_SAYS(outside, "--serial: its cells lie outside those --at writes");
  // Cells the file fills with data are no place for a serial, unless asked.
  Saved("vectors.bin", 8192);
  const int before = Exchanges();
  const Outcome over = Romtool(
      {"write", "-p", link, "-c", "27C64", "--serial", "0x1FF0:2:le:1", dir / "vectors.bin"});
  EXPECT_EQ(over.code, 2) << over.output;
  EXPECT_SAYS(over, "--serial: cells 0x1FF0 to 0x1FF1 hold data of " + dir / "vectors.bin");
  EXPECT_SAYS(over, "--serial-over-data");
  // A CPU address for the cell is named as the cell it is.
  const Outcome cpu = Romtool({"write", "-p", link, "-c", "27C64", "--base", "0xE000", "--serial",
                               "0xFFF0:2", dir / "image.bin"});
  EXPECT_EQ(cpu.code, 2) << cpu.output;
  EXPECT_SAYS(cpu, "with --base 0xE000 the address is cell 0x1FF0, --serial 0x1FF0:2");
  EXPECT_EQ(Exchanges(), before);
  romsim->Stop();
  Start({"--link", link}, blank);
  const Outcome knowingly = Romtool({"write", "-p", link, "-c", "27C64", "--serial-over-data",
                                     "--serial", "0x1FF0:2:le:7", dir / "vectors.bin"});
  EXPECT_EQ(knowingly.code, 0) << knowingly.output;
  EXPECT_EQ(Chip().substr(0x1FF0, 2), std::string("\x07\0", 2));
}

// Ctrl-C at the next-chip prompt finishes a run whose chips all passed with
// exit 0; one chip is "1 chip"; --json --quiet leaves the JSON lines alone;
// the log's table has the port and base, and names a line no job wrote.
TEST_F(RomtoolTest, ARunFinishedAtThePromptAndItsRecords) {
  Start();
  Saved("image.bin", 8192);
  const std::string said = dir / "said.txt";
  int input[2];
  ASSERT_EQ(pipe(input), 0);
  const pid_t pid = Spawn({"write", "--repeat", "-p", port, "-c", "27C64", dir / "image.bin"}, said,
                          input[0], input[1]);
  ASSERT_NE(pid, 0);
  close(input[0]);
  for (int wait = 0; wait < 300 && Count(ReadWhole(said), "q to finish") < 1; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  kill(pid, SIGINT);
  const Outcome run = Ended(pid, said);
  close(input[1]);
  EXPECT_EQ(run.code, kSuccess) << run.output;
  EXPECT_SAYS(run, "1 chip: 1 ok, 0 failed");
  const Outcome json = RomtoolApart(
      {"verify", "--json", "--quiet", "-p", port, "-c", "27C64", dir / "image.bin"}, said);
  EXPECT_EQ(json.code, kSuccess) << json.output;
  EXPECT_EQ(json.output.rfind("{\"start\":", 0), 0u) << json.output;
  EXPECT_EQ(Count(json.output, "\n"), 1) << json.output;
  EXPECT_EQ(ReadWhole(said), "");
  const std::string log = dir / "data/romprog/romtool-log.jsonl";
  WriteWhole(log, ReadWhole(log) + "garbage from an editor\n");
  const std::string table = Romtool({"log", "-n", "3"}).output;
  const std::size_t portColumn = table.find("port"), baseColumn = table.find("base");
  ASSERT_NE(portColumn, std::string::npos) << table;
  ASSERT_NE(baseColumn, std::string::npos) << table;
  EXPECT_EQ(table.substr(table.find('\n') + 1 + portColumn, port.size()), port) << table;
  EXPECT_NE(table.find("(not a job record: garbage from an editor)"), std::string::npos) << table;
}

// A read given up while the programmer's byte was on its way leaves that
// byte in the port's queue, where it would pass for the next command's reply
// and shift the whole chip by one.
TEST_F(RomtoolTest, AReadAfterAnAbandonedOneHasTheChipUnshifted) {
  const std::string chip = RandomBytes(32768, 21);
  Start({"--late-at", "300"}, chip);
  const Outcome late = OnChip("read", "27C64", {dir / "late.bin"});
  EXPECT_EQ(late.code, 3) << late.output;
  EXPECT_SAYS(late, "stopped answering at cell 0x012C (300)");
  // The late byte comes 1400 ms after its cell was asked for.
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  const Outcome next = OnChip("read", "27C64", {dir / "next.bin"});
  ASSERT_EQ(next.code, 0) << next.output;
  EXPECT_TRUE(Same(ReadWhole(dir / "next.bin"), chip.substr(0, 8192)));

  // A byte later still lands in the middle of the next read, past the
  // emptied queue: the read it shifts must not pass for the chip.
  romsim->Stop();
  Start({"--late-at", "300", "--late-ms", "2000", "--pace", "115200"}, chip);
  EXPECT_EQ(OnChip("read", "27C64", {dir / "late.bin"}).code, 3);
  const Outcome shifted = OnChip("read", "27C128", {dir / "shifted.bin"});
  EXPECT_EQ(shifted.code, 3) << shifted.output;
  EXPECT_SAYS(shifted, "a byte came after the last cell");
  EXPECT_FALSE(std::filesystem::exists(dir / "shifted.bin"));
}

TEST_F(RomtoolTest, EveryChipCommandIsLogged) {
  Start();
  Saved("image.bin", 8192);
  ASSERT_EQ(OnChip("write", "27C64", {dir / "image.bin"}).code, 0);
  EXPECT_EQ(OnChip("blank", "27C64", {"--log", dir / "other.jsonl"}).code, 1);
  EXPECT_EQ(OnChip("verify", "27C64", {"--no-log", dir / "image.bin"}).code, 0);
  const std::string log = ReadWhole(dir / "data/romprog/romtool-log.jsonl");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  const Outcome sum = Romtool({"sum", "-c", "27C64", dir / "image.bin"});
  const std::string crc = sum.output.substr(sum.output.find("CRC-32    ") + 10, 10);
  EXPECT_NE(log.find("\"command\":\"write\""), std::string::npos) << log;
  EXPECT_NE(log.find("\"file_crc32\":\"" + crc), std::string::npos) << log;
  EXPECT_NE(log.find("\"chip_crc32\":\"" + crc + "\",\"result\":\"ok\",\"exit\":0,\"cells\":24576"),
            std::string::npos)
      << log;
  const Outcome table = Romtool({"log", "-n", "1", "--log", dir / "other.jsonl"});
  EXPECT_EQ(table.code, 0);
  EXPECT_SAYS(table, "blank    27C64    fault");
}

TEST_F(RomtoolTest, IntelHexIsReadStrictlyUnlessLenient) {
  WriteWhole(dir / "segment.hex", ":020000020100FB\n:0100000042BD\n:00000001FF\nnot read\n");
  ASSERT_EQ(Romtool({"convert", "-c", "27C64", dir / "segment.hex", dir / "out.bin"}).code, 0);
  const std::string out = ReadWhole(dir / "out.bin");
  EXPECT_EQ(out[0x1000], '\x42');
  EXPECT_EQ(std::count(out.begin(), out.end(), '\xFF'), 8191);
  WriteWhole(dir / "bad.hex", ":10000000ZZ\n");
  EXPECT_EQ(Romtool({"convert", "-c", "27C64", "--lenient", dir / "bad.hex", dir / "out.bin"}).code,
            0);
}

TEST_F(RomtoolTest, WriteFailureNamesTheCellAndTheReply) {
  Start({"--fail-write-at", "100"});
  const std::string image = Saved("image.bin", 8192);
  const Outcome run = OnChip("write", "27C64", {dir / "image.bin"});
  EXPECT_EQ(run.code, 1) << run.output;
  char expected[96];
  std::snprintf(expected, sizeof expected,
                "cell 0x0064 (100) was not programmed with 0x%02X: the programmer answered 0x00, "
                "expected 0xAA",
                static_cast<unsigned char>(image[100]));
  EXPECT_SAYS(run, expected);
  EXPECT_SAYS(run, "holds cells 0x0000 (0) to 0x0063 (99) of " + dir / "image.bin" +
                       "; cell 0x0064 (100) did not take its value; cells 0x0065 (101) to");
  EXPECT_SAYS(run, "worn or not fully erased chip: erase it");
  const std::string chip = Chip();
  EXPECT_TRUE(Same(chip.substr(0, 100), image.substr(0, 100)));
  EXPECT_TRUE(Same(chip.substr(100), std::string(32768 - 100, '\xFF')));
}

TEST_F(RomtoolTest, ACellThatCannotTakeItsValueFailsTheWrite) {
  std::string chip(32768, '\xFF');
  chip[300] = '\x0F';  // programming only clears bits
  Start({}, chip);
  std::string image(8192, '\x00');
  image[300] = '\xF0';
  WriteWhole(dir / "image.bin", image);
  const Outcome run = OnChip("write", "27C64", {"--no-precheck", dir / "image.bin"});
  EXPECT_EQ(run.code, 1) << run.output;
  EXPECT_SAYS(run, "cell 0x012C (300) was not programmed with 0xF0");
}

TEST_F(RomtoolTest, SilenceFromAnAddressIsANoAnswer) {
  Start({"--silent-from", "50"});
  const Outcome run = OnChip("read", "27C64", {dir / "out.bin"});
  EXPECT_EQ(run.code, 3) << run.output;
  EXPECT_SAYS(run, "stopped answering at cell 0x0032 (50)");
  EXPECT_FALSE(std::filesystem::exists(dir / "out.bin"));
  Saved("image.bin", 8192);
  const Outcome write = OnChip("write", "27C64", {"--no-precheck", dir / "image.bin"});
  EXPECT_EQ(write.code, 3) << write.output;
  EXPECT_SAYS(write, "0x0031 (49) of " + dir / "image.bin" + "; cell 0x0032 (50) may be written");
  EXPECT_SAYS(write, "power");
}

// Four programmers at once, one falling silent mid-write: the other three
// finish, each port gets its own log line; read then saves one file each.
TEST_F(RomtoolTest, SeveralPortsAtOnceAndOneFallsSilent) {
  Start();
  std::vector<std::unique_ptr<romprog::sim::RomsimProcess>> more;
  std::vector<std::string> args{"write", "-c", "27C64", "--no-precheck", "-p", port};
  for (std::string k : {"1", "2", "3"}) {
    std::vector<std::string> sim{"--chip", dir / ("chip" + k + ".bin"),  "--silence-ms", "100",
                                 "--log",  dir / ("romsim" + k + ".log")};
    if (k == "2") sim.insert(sim.end(), {"--silent-from", "3000"});
    std::string error;
    more.push_back(romprog::sim::RomsimProcess::Start(ROMSIM_BINARY, sim, error));
    ASSERT_TRUE(more.back()) << error;
    args.insert(args.end(), {"-p", more.back()->slave()});
  }
  const std::string image = Saved("image.bin", 8192);
  args.insert(args.end(), {"--json", dir / "image.bin"});
  const Outcome json = RomtoolApart(args, dir / "said.txt");
  const Outcome run{json.code, ReadWhole(dir / "said.txt")};
  EXPECT_EQ(run.code, 3) << run.output;
  // stdout holds the four results and nothing else, each line a JSON object.
  EXPECT_EQ(Count(json.output, "\n"), 4) << json.output;
  EXPECT_EQ(Count(json.output, "{\"start\":"), 4) << json.output;
  WriteWhole(dir / "json.txt", json.output);
  std::string parsed;
  EXPECT_EQ(
      romprog::sim::RunToEnd(
          "/usr/bin/python3",
          {"-c", "import json,sys\nfor l in open(sys.argv[1]): json.loads(l)", dir / "json.txt"},
          parsed),
      0)
      << parsed;
  const std::string silent = more[1]->slave();
  EXPECT_SAYS(run, silent + ": romtool: write: the programmer stopped answering at cell 0x0BB8");
  EXPECT_SAYS(run, "4 ports: 3 ok, 1 failed (" + silent + ": no-answer)");
  // Off a terminal each port says a line per step (two here: no check) and its result.
  EXPECT_EQ(Count(run.output, port + ": write 1/2: 8192/8192 cells, "), 1) << run.output;
  EXPECT_EQ(Count(run.output, port + ": verify 2/2: 8192/8192 cells, "), 1) << run.output;
  EXPECT_SAYS(run, port + ": ok, ");
  EXPECT_EQ(Count(run.output, silent + ": write 1/2: "), 1) << run.output;
  EXPECT_SAYS(run, silent + ": write 1/2: 3000/8192 cells, ");
  EXPECT_SAYS(run, silent + ": no-answer, ");
  EXPECT_EQ(Count(run.output, " left\n"), 7) << run.output;
  EXPECT_SAYS(run, "then romtool write -c 27C64 -p " + silent + " --json ");  // its port alone
  Settle();
  for (std::string k : {"1", "3"}) {
    EXPECT_TRUE(Same(ReadWhole(dir / ("chip" + k + ".bin")).substr(0, 8192), image)) << k;
  }
  const Outcome log{0, ReadWhole(dir / "data/romprog/romtool-log.jsonl")};
  EXPECT_SAYS(log, "\"port\":\"" + silent + "\",\"chip\":\"27C64\",\"file\"");
  EXPECT_EQ(std::count(log.output.begin(), log.output.end(), '\n'), 4);
  const Outcome read =
      Romtool({"read", "-c", "27C64", "-p", port, "-p", more[0]->slave(), dir / "back-{n}.bin"});
  EXPECT_EQ(read.code, 0) << read.output;
  EXPECT_TRUE(Same(ReadWhole(dir / "back-2.bin"), image));
  // --repeat on two ports: one round together, then the prompt; the input's end finishes.
  Outcome round;
  round.code = romprog::sim::RunToEnd(
      "/bin/sh",
      {"-c", "exec \"$0\" \"$@\" </dev/null 2>&1", ROMTOOL_BINARY, "write", "--repeat", "-c",
       "27C64", "-p", port, "-p", more[0]->slave(), dir / "image.bin"},
      round.output);
  EXPECT_EQ(round.code, 0) << round.output;
  EXPECT_EQ(Count(round.output, "q to finish"), 1) << round.output;
  EXPECT_GT(round.output.find("q to finish"), round.output.find("chip 2 (" + more[0]->slave()));
  EXPECT_SAYS(round, "2 chips: 2 ok, 0 failed");
  for (const auto& sim : more) sim->Stop();
}

// Ctrl-C stops every port's job, each logged as stopped.
TEST_F(RomtoolTest, SeveralPortsStopTogetherOnCtrlC) {
  Start({"--pace", "9600"});
  std::string error;
  auto other = romprog::sim::RomsimProcess::Start(
      ROMSIM_BINARY, {"--chip", dir / "chip2.bin", "--pace", "9600"}, error);
  ASSERT_TRUE(other) << error;
  const Outcome run = Interrupt({"blank", "-c", "27C64", "-p", port, "-p", other->slave()}, 800);
  EXPECT_EQ(run.code, 130) << run.output;
  EXPECT_EQ(Count(run.output, "romtool: stopped at cell "), 2) << run.output;
  EXPECT_EQ(Count(ReadWhole(dir / "data/romprog/romtool-log.jsonl"), "\"exit\":130"), 2);
  other->Stop();
}

TEST_F(RomtoolTest, SilentCommandIsANoAnswer) {
  Start({"--silent-command"});
  Saved("image.bin", 8192);
  const Outcome run = OnChip("write", "27C64", {"--no-precheck", dir / "image.bin"});
  EXPECT_EQ(run.code, 3) << run.output;
  EXPECT_SAYS(run, "no answer from the programmer to the command byte 0x21");
  EXPECT_TRUE(Same(Chip(), std::string(32768, '\xFF')));
}

TEST_F(RomtoolTest, AnyCommandReplyIsTaken) {
  for (const char* reply : {"AA", "FF", "55"}) {
    Start({"--command-reply", reply});
    const Outcome run = OnChip("blank", "27C64");
    EXPECT_EQ(run.code, 0) << reply << run.output;
    romsim->Stop();
  }
  romsim.reset();
}

TEST_F(RomtoolTest, PortThatDoesNotOpenIsExitThreeAndSaysWhy) {
  const Outcome run = Romtool({"blank", "-p", dir / "no-such-port", "-c", "27C64"});
  EXPECT_EQ(run.code, 3) << run.output;
  EXPECT_SAYS(run, "cannot open port: no port " + dir / "no-such-port");

  // Files open too: a byte sent there would be written into them.
  const std::string image = Saved("rom6502.bin", 8192);
  for (const std::string& notPort : {dir / "rom6502.bin", std::string("/dev/null")}) {
    const Outcome file = Romtool({"blank", "-p", notPort, "-c", "27C64"});
    EXPECT_EQ(file.code, 3) << file.output;
    EXPECT_SAYS(file, "cannot open port: " + notPort + " is not a serial port");
  }
  EXPECT_TRUE(Same(ReadWhole(dir / "rom6502.bin"), image));

  Start();
  // Another program holds the line the way romtool's own ports do: an
  // exclusive lock on the device.
  const int holder = open(port.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
  const Outcome busy = OnChip("blank", "27C64");
  close(holder);
  // One port given twice is the user's slip, not another program's lock.
  const Outcome twice = Romtool({"blank", "-c", "27C64", "-p", port, "-p", port});
  EXPECT_EQ(twice.code, 2) << twice.output;
  EXPECT_SAYS(twice, "-p " + port + " given twice");
  // --json lines carry what went wrong, so a script tells the faults apart.
  const Outcome json = Romtool({"blank", "-c", "27C64", "-p", dir / "no-such-port", "--json"});
  EXPECT_EQ(json.code, 3);
  EXPECT_SAYS(json, "\"error\":\"cannot open port: no port " + dir / "no-such-port");
  EXPECT_EQ(busy.code, 3) << busy.output;
  EXPECT_SAYS(busy, port + " is in use by another program");

  // A user outside the device's groups (the tests run as root).
  ASSERT_EQ(chmod(port.c_str(), 0600), 0);
  Outcome denied;
  denied.code = romprog::sim::RunToEnd("/usr/bin/setpriv",
                                       {"--reuid=65534", "--regid=65534", "--clear-groups",
                                        ROMTOOL_BINARY, "blank", "-p", port, "-c", "27C64"},
                                       denied.output);
  EXPECT_EQ(denied.code, 3) << denied.output;
  // Mode 0600: no group may use it, so joining one would not help.
  EXPECT_SAYS(denied, port +
                          ": permission denied; only its owner root may use it (mode 0600): "
                          "give it a group, as root: chgrp dialout " +
                          port + " && chmod 660 " + port);
  EXPECT_EQ(denied.output.find("add yourself"), std::string::npos) << denied.output;
  // Its group may use it: joining that group gets past.
  const group* owners = getgrnam("dialout");
  ASSERT_NE(owners, nullptr);
  const std::string name = owners->gr_name;
  const gid_t gid = owners->gr_gid;
  ASSERT_EQ(chown(port.c_str(), static_cast<uid_t>(-1), gid), 0);
  ASSERT_EQ(chmod(port.c_str(), 0660), 0);
  Outcome joining;
  romprog::sim::RunToEnd("/usr/bin/setpriv",
                         {"--reuid=65534", "--regid=65534", "--clear-groups", ROMTOOL_BINARY,
                          "blank", "-p", port, "-c", "27C64"},
                         joining.output);
  EXPECT_SAYS(joining, "permission denied; add yourself to group " + name + " (sudo usermod -aG " +
                           name + " $USER");
  Outcome joined;
  joined.code =
      romprog::sim::RunToEnd("/usr/bin/setpriv",
                             {"--reuid=65534", "--regid=65534", "--groups=" + std::to_string(gid),
                              ROMTOOL_BINARY, "blank", "--no-log", "-p", port, "-c", "27C64"},
                             joined.output);
  EXPECT_EQ(joined.code, 0) << joined.output;
  // ports names an adapter the user may not open, with the same way past.
  const std::string dev = dir / "dev";
  std::filesystem::create_directories(dev);
  chmod((dir / "").c_str(), 0755);
  chmod(dev.c_str(), 0755);
  WriteWhole(dev + "/ttyUSB0", "");
  chmod((dev + "/ttyUSB0").c_str(), 0600);
  Outcome listed;
  romprog::sim::RunToEnd(
      "/usr/bin/env",
      {"ROMPROG_DEV=" + dev, "ROMPROG_SYSFS=" + dir / "sys", "/usr/bin/setpriv", "--reuid=65534",
       "--regid=65534", "--clear-groups", ROMTOOL_BINARY, "ports"},
      listed.output);
  EXPECT_SAYS(listed, dev + "/ttyUSB0  cannot open: permission denied; only its owner root");
  EXPECT_EQ(Exchanges(), 1);  // the blank check of the joined group only
}

TEST_F(RomtoolTest, BadFilesChangeNothing) {
  Start();
  WriteWhole(dir / "empty.hex", "");
  WriteWhole(dir / "nodata.hex", ":00000001FF\r\n");
  WriteWhole(dir / "high.hex", ":10200000000102030405060708090A0B0C0D0E0F58\r\n:00000001FF\r\n");
  WriteWhole(dir / "broken.srec", "S1050000AABB94\n");
  WriteWhole(dir / "bad.hex", ":10000000ZZ\n");
  WriteWhole(dir / "sum.hex", ":0100000042BD\n:0100010042BD\n");
  WriteWhole(dir / "far.hex", ":020000040800F2\n:0100000042BD\n:00000001FF\n");
  // Cut short, two files run together, a record lost, a contradiction.
  WriteWhole(dir / "noend.hex", ":0100000042BD\n:0100010042BC\n");
  WriteWhole(dir / "noend.s19", "S1050000AABB95\nS1050010CCDD41\n");
  WriteWhole(dir / "joined.hex", ":0100000042BD\n:00000001FF\n:0100100042AD\n:00000001FF\n");
  WriteWhole(dir / "lost.s19", "S1050000AABB95\nS1050010CCDD41\nS5030003F9\nS9030000FC\n");
  WriteWhole(dir / "clash.hex", ":0100000042BD\n:0100000043BC\n:00000001FF\n");
  WriteWhole(dir / "empty.bin", "");
  const struct {
    std::string file;
    const char* says;
  } cases[] = {
      {dir / "missing.bin", "cannot"},
      {dir / "empty.hex", "no data record"},
      {dir / "nodata.hex", "no data record"},
      {dir / "high.hex", "high.hex:1: data at 0x2000 to 0x200F lies outside the chip"},
      {dir / "bad.hex", "bad.hex:1: not a hex digit"},
      {dir / "sum.hex", "sum.hex:2: checksum"},
      {dir / "far.hex", "far.hex:2: data at 0x8000000"},
      {dir / "broken.srec", "broken.srec:1: checksum"},
      {dir / "noend.hex", "noend.hex:2: the file ends without its end record (:00000001FF)"},
      {dir / "noend.s19", "noend.s19:2: the file ends without its termination record"},
      {dir / "joined.hex", "joined.hex:3: a record after the end record of line 2"},
      {dir / "lost.s19", "lost.s19:3: the count record says 3 data records, 2 were read"},
      {dir / "clash.hex", "clash.hex:2: data at 0x0000 is 0x43 here but 0x42 on line 1"},
      {dir / "empty.bin", "is empty"},
  };
  for (const auto& c : cases) {
    for (const char* command : {"write", "verify"}) {
      const Outcome run = OnChip(command, "27C64", {c.file});
      EXPECT_EQ(run.code, 2) << command << " " << c.file << run.output;
      EXPECT_SAYS(run, c.says);
    }
  }
  const Outcome nowhere = OnChip("read", "27C64", {dir / "no-folder/out.bin"});
  EXPECT_EQ(nowhere.code, 2) << nowhere.output;
  EXPECT_SAYS(nowhere, "no folder");
  const Outcome proc = OnChip("read", "27C256", {"/proc/x.bin"});
  EXPECT_EQ(proc.code, 2) << proc.output;
  EXPECT_SAYS(proc, "cannot create /proc/x.bin: No such file or directory");
  EXPECT_EQ(Exchanges(), 0);
  EXPECT_TRUE(Same(Chip(), std::string(32768, '\xFF')));
}

TEST_F(RomtoolTest, BadArgumentsChangeNothing) {
  Start();
  Saved("image.bin", 8192);
  const std::vector<std::vector<std::string>> lines = {
      {"write", "-p", port, "-c", "27C512", dir / "image.bin"},
      {"write", "-p", port, dir / "image.bin"},
      {"write", "-c", "27C64", dir / "image.bin"},
      {"write", "-p", port, "-c", "27C64"},
      {"write", "-p", port, "-c", "27C64", "--fast", dir / "image.bin"},
      {"erase", "-p", port, "-c", "27C64"},
      {},
  };
  for (const auto& line : lines) {
    const Outcome run = Romtool(line);
    EXPECT_EQ(run.code, 2) << run.output;
    EXPECT_SAYS(run, "romtool --help");
  }
  EXPECT_EQ(Exchanges(), 0);
  EXPECT_TRUE(Same(Chip(), std::string(32768, '\xFF')));
}

// Habits from other tools and slips are refused with the romtool command
// line that does the job; each such line, PORT and CHIP filled in as the
// user would, gets past the refusal.
TEST_F(RomtoolTest, EverySuggestedCommandGetsPastItsRefusal) {
  Start();
  Saved("image.bin", 8192);
  const std::string image = dir / "image.bin", out = dir / "out.bin";
  const std::vector<std::pair<std::vector<std::string>, int>> lines = {
      {{"-p", port, "-c", "27C64", "-r", out}, kSuccess},      // read
      {{"-c", "27C64", image}, kSuccess},                      // a file where the command goes
      {{"wrte", "-p", port, "-c", "27C64", image}, kSuccess},  // nearest command
      {{"program", "-p", port, "-c", "27C64A", image}, kSuccess},
      {{"write", "-p", port, "-c", "27C64", "--verify", image}, kSuccess},
      {{"-m", "-p", port, "-c", "27C64", image}, kSuccess},  // verify
      {{"-b", "-p", port}, kChipFault},                      // blank: the chip is written
      {{"erase", "-p", port, "-c", "27C64"}, kChipFault},
  };
  const std::regex suggested(
      R"((?:: |; |it is |mean |then )(romtool [a-z].*?)(?:\?| \(or |\s+checks|\n))");
  for (const auto& [line, code] : lines) {
    const Outcome refused = Romtool(line);
    EXPECT_EQ(refused.code, kUsageOrFile) << refused.output;
    std::smatch found;
    ASSERT_TRUE(std::regex_search(refused.output, found, suggested)) << refused.output;
    std::vector<std::string> args;
    std::istringstream words(found[1].str().substr(8));
    for (std::string word; words >> word;) {
      args.push_back(word == "PORT" ? port : word == "CHIP" ? "27C64" : word);
    }
    const Outcome followed = Romtool(args);
    EXPECT_EQ(followed.code, code) << refused.output << followed.output;
  }
  EXPECT_TRUE(Same(ReadWhole(out), std::string(8192, '\xFF')));
  EXPECT_TRUE(Same(Chip().substr(0, 8192), ReadWhole(image)));
  // What the part says is taken as its family, and said once.
  const Outcome family = OnChip("verify", "M27C64A-15", {image});
  EXPECT_EQ(family.code, kSuccess) << family.output;
  EXPECT_EQ(Count(family.output, "M27C64A-15 taken as 27C64"), 1) << family.output;
  const Outcome chipAsPort = Romtool({"read", "-p", "27C256", out});
  EXPECT_SAYS(chipAsPort, "-p is the port; the chip is -c 27C256");
  EXPECT_EQ(Romtool({"read", "-p" + port, "-c", "27c64", out}).code, kSuccess);
  EXPECT_EQ(Romtool({"read", "--port=" + port, "-c27C64", out}).code, kSuccess);
}

// S-records of `data` from `address`, 16 bytes a record.
std::string SRecords(std::uint32_t address, const std::string& data) {
  std::string text;
  for (std::size_t at = 0; at < data.size(); at += 16) {
    const std::string chunk = data.substr(at, 16);
    const std::uint32_t here = address + static_cast<std::uint32_t>(at);
    std::string body{static_cast<char>(chunk.size() + 3), static_cast<char>(here >> 8),
                     static_cast<char>(here & 0xFF)};
    body += chunk;
    unsigned sum = 0;
    char hex[3];
    text += "S1";
    for (char c : body) {
      sum += static_cast<unsigned char>(c);
      std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(c));
      text += hex;
    }
    std::snprintf(hex, sizeof hex, "%02X", ~sum & 0xFFu);
    text += std::string(hex) + "\n";
  }
  return text + "S9030000FC\n";
}

// A refused image names the likely cause and the way past it in the
// command's own terms; each, followed, gets past the refusal.
TEST_F(RomtoolTest, EveryImageHintLeadsPastItsRefusal) {
  const std::string at8000 = dir / "at8000.s19", big = dir / "big.hex";
  WriteWhole(at8000, SRecords(0x8000, RandomBytes(64, 3)));
  Saved("chip16k.bin", 16384);
  Saved("part8k.bin", 8192);
  Saved("raw10k.bin", 10240);
  ASSERT_EQ(Romtool({"convert", "-c", "27C128", dir / "chip16k.bin", big}).code, kSuccess);
  const std::string out = dir / "out.bin";
  struct Case {
    std::vector<std::string> line;
    std::string hint;  // a regex: its group 1 is what the user takes from it
    std::function<std::vector<std::string>(std::vector<std::string>, const std::string&)> follow;
  };
  const auto words = [](const std::string& text) {
    std::vector<std::string> split;
    std::istringstream in(text);
    for (std::string word; in >> word;) split.push_back(word);
    return split;
  };
  const auto addWords = [&words](std::vector<std::string> line, const std::string& taken) {
    for (const std::string& word : words(taken)) line.insert(line.end() - 2, word);
    return line;
  };
  const std::vector<Case> cases = {
      {{"convert", "-c", "27C64", at8000, out}, "add (--base 0x8000), or --base auto", addWords},
      {{"join", "-c", "27C64", at8000, at8000, out},
       "map it onto the chip first: (romtool convert .*), then give that file",
       [&words](std::vector<std::string>, const std::string& taken) {
         std::vector<std::string> line = words(taken);
         line.erase(line.begin());  // "romtool"
         return line;
       }},
      {{"pack", "-c", "27C64", "-o", out, at8000},
       "give the part as (\\S+) \\(or",
       [](std::vector<std::string> line, const std::string& taken) {
         line.back() = taken;
         return line;
       }},
      {{"convert", "-c", "27C64", big, out},
       "is -c right\\? .* which a (27C\\d+) holds whole",
       [](std::vector<std::string> line, const std::string& taken) {
         line[2] = taken;
         return line;
       }},
      {{"convert", "-c", "27C64", dir / "raw10k.bin", out},
       "is -c right\\? (--truncate) takes",
       addWords},
      {{"pack", "-c", "27C64", "-o", out, dir / "part8k.bin@0x1000"},
       "is its @CELL right\\? (--truncate) takes",
       [](std::vector<std::string> line, const std::string& taken) {
         line.insert(line.begin() + 1, taken);
         return line;
       }},
  };
  for (const Case& c : cases) {
    const Outcome refused = Romtool(c.line);
    EXPECT_EQ(refused.code, kUsageOrFile) << refused.output;
    std::smatch found;
    ASSERT_TRUE(std::regex_search(refused.output, found, std::regex(c.hint))) << refused.output;
    const Outcome followed = Romtool(c.follow(c.line, found[1].str()));
    EXPECT_EQ(followed.code, kSuccess) << refused.output << followed.output;
  }
  // A pack part from a cell: the room from there, not the chip, is too small;
  // the data's extent gives the cell where it fits.
  ASSERT_EQ(Romtool({"convert", "-c", "27C64", "--truncate", "--format", "bin", dir / "raw10k.bin",
                     dir / "small.hex"})
                .code,
            kSuccess);
  const Outcome room = Romtool({"pack", "-c", "27C64", "-o", out, dir / "small.hex@0x1F80"});
  EXPECT_EQ(room.code, kUsageOrFile) << room.output;
  std::smatch extent;
  ASSERT_TRUE(std::regex_search(room.output, extent,
                                std::regex("from cell 0x1F80 the 27C64 has 128 cells left; is its "
                                           "@CELL right\\? the data lies at 0x0000-0x([0-9A-F]+) "
                                           "of the file")))
      << room.output;
  const int fits = 8192 - (std::stoi(extent[1].str(), nullptr, 16) + 1);
  EXPECT_EQ(
      Romtool({"pack", "-c", "27C64", "-o", out, dir / ("small.hex@" + std::to_string(fits))}).code,
      kSuccess);
  // The join that needed the convert goes through with its output.
  EXPECT_EQ(Romtool({"join", "-c", "27C64", dir / "at8000.bin", dir / "at8000.bin", out}).code,
            kSuccess);
  // --base auto on data already at 0 maps nothing, and says nothing of it.
  const Outcome atZero = Romtool({"sum", "-c", "27C256", "--base", "auto", big});
  EXPECT_EQ(atZero.code, kSuccess) << atZero.output;
  EXPECT_EQ(atZero.output.find("address lines"), std::string::npos) << atZero.output;
  // An empty name (an unset variable) is refused before any port opens.
  const Outcome empty = Romtool({"read", "-p", "/dev/null", "-c", "27C64", ""});
  EXPECT_EQ(empty.code, kUsageOrFile) << empty.output;
  EXPECT_SAYS(empty, "an empty word where a file name goes");
}

TEST_F(RomtoolTest, OversizedBinaryIsRefused) {
  Start();
  const std::string image = Saved("big.bin", 10000);
  const Outcome run = OnChip("write", "27C64", {"--no-verify", dir / "big.bin"});
  EXPECT_EQ(run.code, 2) << run.output;
  EXPECT_SAYS(run, "big.bin holds 10000 bytes, the 27C64 takes 8192: is -c right?");
  EXPECT_EQ(Exchanges(), 0);
  EXPECT_TRUE(Same(Chip(), std::string(32768, '\xFF')));
  const Outcome cut = OnChip("write", "27C64", {"--no-verify", "--truncate", dir / "big.bin"});
  EXPECT_EQ(cut.code, 0) << cut.output;
  EXPECT_TRUE(Same(Chip().substr(0, 8192), image.substr(0, 8192)));
}

TEST_F(RomtoolTest, VerboseSaysHowThePortWasOpened) {
  Start();
  const Outcome run = OnChip("blank", "27C64", {"-v"});
  EXPECT_EQ(run.code, 0) << run.output;
  EXPECT_SAYS(run, "low-latency mode: switched on");  // through the modem-lines library
  EXPECT_SAYS(run, "read command 0x20, write command 0x21");
}

TEST_F(RomtoolTest, LinkWarnsOfAnAdapterTimerOnlyWhenItHoldsTheBytes) {
  framed = false;  // no library: the low-latency request is refused, as by a plain driver
  unsetenv("LD_PRELOAD");
  for (const char* timer : {"16", "1"}) {
    Start({"--latency-ms", timer, "--pace", "9600"});  // the line time of a real bench
    const Outcome run = Romtool({"link", "-p", port, "-c", "27C64"});
    EXPECT_EQ(run.code, 0) << run.output;
    EXPECT_EQ(run.output.find("latency timer") != std::string::npos, timer[1] != '\0')
        << timer << " ms:\n"
        << run.output;
    // A pty has no adapter's timer to set; an adapter (a sysfs tree of one) has.
    if (timer[1] != '\0') {
      EXPECT_SAYS(run, port + " shows no latency timer to set");
      const std::string name = port.substr(port.rfind('/') + 1);
      const std::string timerFile = dir / "sys/class/tty" + ("/" + name + "/device/latency_timer");
      std::filesystem::create_directories(std::filesystem::path(timerFile).parent_path());
      WriteWhole(timerFile, "16\n");
      setenv("ROMPROG_SYSFS", (dir / "sys").c_str(), 1);
      const Outcome adapter = Romtool({"link", "-p", port, "-c", "27C64"});
      unsetenv("ROMPROG_SYSFS");
      EXPECT_SAYS(adapter, "Fix: as root, echo 1 > " + timerFile);
    }
    romsim->Stop();
  }
  Start({"--silent-command"});
  EXPECT_EQ(Romtool({"link", "-p", port}).code, 3);
}

TEST_F(RomtoolTest, HelpAndVersion) {
  const Outcome help = Romtool({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_SAYS(help, "Exit codes");
  const Outcome writeHelp = Romtool({"write", "--help"});
  EXPECT_EQ(writeHelp.code, 0);
  EXPECT_SAYS(writeHelp, "--blank-check");
  EXPECT_SAYS(Romtool({"link", "--help"}), "latency timer");
  // Completion takes every "-WORD" in a help text for an option: a help
  // names no option romtool lacks ("-PORT").
  for (const char* command : {"read", "write", "verify", "blank", "link", "ident"}) {
    const Outcome commandHelp = Romtool({command, "--help"});
    EXPECT_FALSE(std::regex_search(commandHelp.output, std::regex("(^|[ (])-[A-Z]{2,}")))
        << commandHelp.output;
  }
  const Outcome version = Romtool({"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.output.rfind("romtool ", 0), 0u) << version.output;
}

TEST_F(RomtoolTest, SumAndDumpOfAFile) {
  std::string image(16384, '\x01');
  image[0] = 'A';
  WriteWhole(dir / "image.bin", image);
  const Outcome sum = Romtool({"sum", "-c", "27C128", dir / "image.bin"});
  EXPECT_EQ(sum.code, 0);
  char expected[32];
  std::snprintf(expected, sizeof expected, "byte sum  0x%04X", (16383 + 'A') & 0xFFFF);
  EXPECT_SAYS(sum, expected);
  const Outcome dump = Romtool({"dump", "-c", "27C128", dir / "image.bin"});
  EXPECT_EQ(dump.code, 0);
  EXPECT_EQ(std::count(dump.output.begin(), dump.output.end(), '\n'), 2048);
  EXPECT_EQ(dump.output.substr(0, dump.output.find('\n')),
            "      0000   41   01   01   01   01   01   01   01  A       ");
}

TEST_F(RomtoolTest, PackSplitAndJoin) {
  std::string parts;
  std::vector<std::string> args{"pack", "-c", "27C256", "-o", dir / "four.bin"};
  for (int k = 0; k < 4; ++k) {
    const std::string name = "part" + std::to_string(k) + ".bin";
    parts += Saved(name, 8192);
    args.push_back(dir / name + "@" + std::to_string(k * 8) + "k");
  }
  const Outcome packed = Romtool(args);
  EXPECT_EQ(packed.code, 0) << packed.output;
  EXPECT_TRUE(Same(ReadWhole(dir / "four.bin"), parts));
  EXPECT_SAYS(packed, "0x6000-0x7FFF    8192 bytes  sum 0x");
  const Outcome overlap = Romtool(
      {"pack", "-c", "27C256", "-o", dir / "no.bin", dir / "part0.bin", dir / "part1.bin@0x1F00"});
  EXPECT_EQ(overlap.code, 2) << overlap.output;
  EXPECT_SAYS(overlap, "part0.bin (0x0000-0x1FFF) and " + dir / "part1.bin" +
                           " (0x1F00-0x3EFF) overlap in cells 0x1F00-0x1FFF");
  EXPECT_FALSE(std::filesystem::exists(dir / "no.bin"));
  const std::string image = Saved("m68k.bin", 65536);
  EXPECT_EQ(
      Romtool({"split", "-c", "27C256", "--swap", dir / "m68k.bin", dir / "hi.hex", dir / "lo.bin"})
          .code,
      0);
  const Outcome joined =
      Romtool({"join", "-c", "27C256", "--swap", dir / "hi.hex", dir / "lo.bin", dir / "back.bin"});
  EXPECT_EQ(joined.code, 0) << joined.output;
  EXPECT_TRUE(Same(ReadWhole(dir / "back.bin"), image));
}

TEST_F(RomtoolTest, FilesAreReadByWhatTheyHold) {
  // Intel HEX under a name the window program would burn as it is.
  WriteWhole(dir / "rom.ihx", ":0200100041426B\r\n:00000001FF\r\n");
  const Outcome ihx = Romtool({"convert", "-c", "27C64", dir / "rom.ihx", dir / "out.bin"});
  EXPECT_EQ(ihx.code, 0) << ihx.output;
  EXPECT_EQ(ReadWhole(dir / "out.bin").substr(0x10, 3), "AB\xFF");
  // A 65C816 image with data to 0xFFFF for a 27C256: the chip would lose its top.
  WriteWhole(dir / "rom.s28",
             "S214000000000102030405060708090A0B0C0D0E0F73\nS208007FFE11223344D0\nS804000000FB\n");
  const Outcome wide = Romtool({"sum", "-c", "27C256", dir / "rom.s28"});
  EXPECT_EQ(wide.code, 2) << wide.output;
  EXPECT_SAYS(wide, "rom.s28:2: data at 0x7FFE to 0x8001 lies outside the chip");
  Saved("big.bin", 40960);
  const Outcome big = Romtool({"convert", "-c", "27C64", dir / "big.bin", dir / "out.hex"});
  EXPECT_EQ(big.code, 2) << big.output;
  EXPECT_SAYS(big, "--truncate takes the first 8192");
  WriteWhole(dir / "notes.txt", "not a ROM\n");
  EXPECT_EQ(Romtool({"sum", "-c", "27C64", dir / "notes.txt"}).code, 2);
  EXPECT_EQ(Romtool({"sum", "-c", "27C64", "--format", "bin", dir / "notes.txt"}).code, 0);
  const Outcome missing = Romtool({"sum", "-c", "27C64", dir / "none.hex"});
  EXPECT_EQ(missing.code, 2) << missing.output;
  EXPECT_SAYS(missing, "cannot open " + dir / "none.hex" + ": No such file or directory");
}

// pack FILE:base=auto@CELL and write --at CELL --base auto lay an 8 KiB
// monitor at 0xE000-0xFFFF from CELL on, where srec_cat's -offset puts it,
// and the map and the note say those cells.
TEST_F(RomtoolTest, ABankGoesWhereItsMapSaysAsSrecCatPutsIt) {
  Saved("mon.bin", 8192);
  const std::string mon = dir / "mon.hex";
  std::string said;
  ASSERT_EQ(romprog::sim::RunToEnd(
                "/usr/bin/srec_cat",
                {dir / "mon.bin", "-binary", "-offset", "0xE000", "-o", mon, "-intel"}, said),
            0)
      << said;
  for (int cell : {0x1000, 0x2000, 0x4000, 0x6000}) {
    char at[16], map[64], note[64], offset[16];
    std::snprintf(at, sizeof at, "@0x%04X", cell);
    std::snprintf(map, sizeof map, "  0x%04X-0x%04X    8192 bytes", cell, cell + 0x1FFF);
    std::snprintf(note, sizeof note, "mapped to cells 0x%04X-0x%04X", cell, cell + 0x1FFF);
    std::snprintf(offset, sizeof offset, "-0x%X", 0xE000 - cell);
    const Outcome packed =
        Romtool({"pack", "-c", "27C256", "-o", dir / "ours.bin", mon + ":base=auto" + at});
    EXPECT_EQ(packed.code, 0) << packed.output;
    EXPECT_SAYS(packed, map);
    EXPECT_SAYS(packed, note);
    ASSERT_EQ(romprog::sim::RunToEnd("/usr/bin/srec_cat",
                                     {mon, "-intel", "-offset", offset, "-fill", "0xFF", "0",
                                      "0x8000", "-o", dir / "theirs.bin", "-binary"},
                                     said),
              0)
        << said;
    EXPECT_TRUE(Same(ReadWhole(dir / "ours.bin"), ReadWhole(dir / "theirs.bin"))) << at;
  }
  Start();
  const Outcome written = OnChip("write", "27C256", {"--at", "0x2000", "--base", "auto", mon});
  EXPECT_EQ(written.code, 0) << written.output;
  EXPECT_SAYS(written, "mapped to cells 0x2000-0x3FFF");
  EXPECT_TRUE(Same(Chip().substr(0, 32768), ReadWhole(dir / "theirs.bin").substr(0, 0x2000) +
                                                ReadWhole(dir / "mon.bin") +
                                                std::string(0x4000, '\xFF')));
}

// Outputs that are inputs (by name, by another name, by a link) are refused
// before anything is written.
TEST_F(RomtoolTest, OutputsNeverReplaceInputs) {
  const std::string image = Saved("a.bin", 8192);
  ASSERT_EQ(Romtool({"convert", "-c", "27C64", dir / "a.bin", dir / "in.hex"}).code, 0);
  const std::string hex = ReadWhole(dir / "in.hex");
  std::filesystem::create_symlink(dir / "in.hex", dir / "link.hex");
  const std::vector<std::vector<std::string>> lines = {
      {"convert", "-c", "27C64", dir / "in.hex", dir / "in.hex"},
      {"convert", "-c", "27C64", dir / "in.hex", dir / "link.hex"},
      {"convert", "-c", "27C64", dir / "in.hex", dir / "./in.hex"},
      {"join", "-c", "27C64", dir / "a.bin", dir / "a.bin", dir / "a.bin"},
      {"split", "-c", "27C64", dir / "in.hex", dir / "even.bin", dir / "even.bin"},
      {"pack", "-c", "27C64", "-o", dir / "a.bin", dir / "a.bin"},
  };
  for (const auto& line : lines) {
    const Outcome run = Romtool(line);
    EXPECT_EQ(run.code, 2) << line[0] << run.output;
    EXPECT_SAYS(run, "nothing written");
  }
  EXPECT_EQ(ReadWhole(dir / "in.hex"), hex);
  EXPECT_TRUE(Same(ReadWhole(dir / "a.bin"), image));
  EXPECT_FALSE(std::filesystem::exists(dir / "even.bin"));
}

// A closed terminal (SIGHUP) ends a job as Ctrl-C does: the job log learns
// exactly what the chip holds, a read leaves no temporary file.
TEST_F(RomtoolTest, AHangUpStopsLikeCtrlCAndTheLogKnowsTheChip) {
  Start({"--pace", "9600"});
  const std::string said = dir / "said.txt";
  const pid_t reading = Spawn({"read", "-p", port, "-c", "27C256", dir / "x.hex"}, said);
  ASSERT_NE(reading, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  kill(reading, SIGHUP);
  const Outcome read = Ended(reading, said);
  EXPECT_EQ(read.code, 130) << read.output;
  EXPECT_SAYS(read, "romtool: stopped at cell 0x0");
  std::filesystem::remove(said);
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"chip.bin", "data", "romsim.log"}));
  romsim->Stop();

  // The check reads the blank chip, the write is cut short by the hang-up.
  Start({"--pace", "57600"});
  const std::string image = Saved("image.bin", 8192);
  // The write is under way once romsim saw RTS rise a second time (the
  // check's exchange, then the write's).
  const auto rises = [&] { return Count("\n" + ReadWhole(dir / "romsim.log"), "\nrts=high"); };
  const int before = rises();
  const pid_t writing = Spawn({"write", "-p", port, "-c", "27C64", dir / "image.bin"}, said);
  ASSERT_NE(writing, 0);
  for (int wait = 0; wait < 1200 && rises() < before + 2; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // some cells written
  kill(writing, SIGHUP);
  const Outcome stopped = Ended(writing, said);
  EXPECT_EQ(stopped.code, 130) << stopped.output;
  const std::string chip = Chip().substr(0, 8192);
  const std::string log = ReadWhole(dir / "data/romprog/romtool-log.jsonl");
  const std::string line = log.substr(log.rfind("{\"start\""));
  // The cells the log says were written hold the file, every other one is
  // still blank. (A first mismatch would not do: a file byte may be 0xFF.)
  const std::size_t at = line.find("\"cells_written\":");
  ASSERT_NE(at, std::string::npos) << line;
  const int held = std::atoi(line.c_str() + at + 16);
  ASSERT_GT(held, 0) << line;
  ASSERT_LT(held, 8192) << line;
  EXPECT_NE(line.find("\"cells_written\":" + std::to_string(held) + ",\"step\":\"write\""),
            std::string::npos)
      << line;
  EXPECT_TRUE(Same(chip, image.substr(0, held) + std::string(8192 - held, '\xFF'))) << line;
  EXPECT_NE(line.find("\"error\":\"stopped at cell "), std::string::npos) << line;
  unsigned sum = 0;
  for (char c : chip) sum += static_cast<unsigned char>(c);
  char chipSum[32];
  std::snprintf(chipSum, sizeof chipSum, "\"chip_sum\":\"0x%04X\"", sum & 0xFFFF);
  EXPECT_NE(line.find(chipSum), std::string::npos) << chipSum << " in " << line;
  romsim->Stop();

  // Finishing it writes every cell and says so: the count of those that
  // change, and that all are written.
  Start();
  const Outcome finished = OnChip("write", "27C64", {dir / "image.bin"});
  EXPECT_EQ(finished.code, 0) << finished.output;
  EXPECT_SAYS(finished, " of 8192 cells change (bits cleared only); all 8192 are written");
  const Outcome logged{0, ReadWhole(dir / "data/romprog/romtool-log.jsonl")};
  EXPECT_SAYS(logged, "\"cells_written\":8192");
}

// A chip that fails in a --repeat run gives its serial to the next chip: the
// command offered to write it again must not promise that serial.
TEST_F(RomtoolTest, ARepeatRunNeverOffersASerialTwice) {
  Start();
  std::string error;
  auto silent = romprog::sim::RomsimProcess::Start(
      ROMSIM_BINARY, {"--chip", dir / "chip2.bin", "--silent-from", "3000"}, error);
  ASSERT_TRUE(silent) << error;
  std::string image = Saved("image.bin", 8192);
  image.replace(0x1FF0, 2, 2, '\xFF');
  WriteWhole(dir / "image.bin", image);
  Outcome run;
  run.code =
      romprog::sim::RunToEnd("/bin/sh",
                             {"-c", "exec \"$0\" \"$@\" </dev/null 2>&1", ROMTOOL_BINARY, "write",
                              "--repeat", "-c", "27C64", "--no-precheck", "-p", port, "-p",
                              silent->slave(), "--serial", "0x1FF0:2:le:500", dir / "image.bin"},
                             run.output);
  EXPECT_EQ(run.code, 3) << run.output;
  EXPECT_SAYS(run, "--serial 0x1FF0:2:le " + dir / "image.bin");
  EXPECT_EQ(run.output.find("--serial 0x1FF0:2:le:50"), std::string::npos) << run.output;
  silent->Stop();
}

}  // namespace
}  // namespace romtool::testing
