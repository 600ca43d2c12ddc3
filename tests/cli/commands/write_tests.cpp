// romtool write against romsim: round trips for each chip, the checks before
// and after, banks at a cell, chip after chip with serials, several ports at
// once, and the faults that must leave the chip as the log says.
#include <gtest/gtest.h>

#include "tests/cli/commands/romtool_fixture.h"

namespace romtool::testing {
namespace {

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

TEST_F(RomtoolTest, SilentCommandIsANoAnswer) {
  Start({"--silent-command"});
  Saved("image.bin", 8192);
  const Outcome run = OnChip("write", "27C64", {"--no-precheck", dir / "image.bin"});
  EXPECT_EQ(run.code, 3) << run.output;
  EXPECT_SAYS(run, "no answer from the programmer to the command byte 0x21");
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
