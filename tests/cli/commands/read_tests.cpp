// romtool read against romsim: passes, rescue reads, a DAT's names, Ctrl-C, and
// what a read that cannot be saved keeps.
#include <gtest/gtest.h>

#include "tests/cli/commands/romtool_fixture.h"

namespace romtool::testing {
namespace {

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

}  // namespace
}  // namespace romtool::testing
