// romtool as a whole against romsim: help and version, ports that do not
// open, bad files and arguments that change nothing, and refusals whose
// suggested command gets past them.
#include <gtest/gtest.h>

#include "tests/cli/commands/romtool_fixture.h"

namespace romtool::testing {
namespace {

TEST_F(RomtoolTest, APortNamedByARelativePath) {
  Start();
  const std::string relative = std::filesystem::relative(port).string();
  ASSERT_FALSE(relative.empty());
  ASSERT_NE(relative[0], '/');
  const Outcome blank = Romtool({"blank", "-p", relative, "-c", "27C64"});
  EXPECT_EQ(blank.code, 0) << relative << ": " << blank.output;
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

TEST_F(RomtoolTest, VerboseSaysHowThePortWasOpened) {
  Start();
  const Outcome run = OnChip("blank", "27C64", {"-v"});
  EXPECT_EQ(run.code, 0) << run.output;
  EXPECT_SAYS(run, "low-latency mode: switched on");  // through the modem-lines library
  EXPECT_SAYS(run, "read command 0x20, write command 0x21");
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

}  // namespace
}  // namespace romtool::testing
