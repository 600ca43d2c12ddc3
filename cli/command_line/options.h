// romtool's command line: the command word, its options and its files.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/base/serial_number.h"
#include "core/chip_types.h"
#include "core/formats/file_format.h"

namespace romtool {

enum class Command {
  None,
  Ports,
  Blank,
  Read,
  Write,
  Verify,
  Convert,
  Dump,
  Sum,
  Log,
  Link,
  Pack,
  Split,
  Join,
  Ident,
  Check,
  Map
};

struct Options {
  Command command = Command::None;
  std::string port;                // the first -p
  std::vector<std::string> ports;  // every -p, in order
  const romprog::ChipType* chip = nullptr;
  std::string chipNote;  // -c named a part of the chip's family ("27C256-15"): said once
  std::vector<std::string> files;
  bool noVerify = false;    // write: skip reading the chip back
  bool blankCheck = false;  // write: check the chip is blank first
  bool noPrecheck = false;  // write: do not compare the chip with the file first
  int passes = 1;           // read: how many times the chip is read and compared
  int untilStable = 0;      // read: stop once this many passes in a row find no new unstable cell
  std::string png;          // map: the picture made
  std::string map;          // read, verify: the picture of the chip made after it
  bool repeat = false;      // write: the next-chip loop
  int chips = 0;            // --repeat N: how many chips; 0 until q or the input ends
  SerialRule serial;        // write: the serial number written into each chip
  bool serialOverData = false;  // write: the serial may replace the file's own data
  bool json = false;            // each chip job's result as a JSON line on stdout
  bool quiet = false;           // errors only
  bool lenient = false;         // Intel HEX read as the window program reads it
  // The file address that is the chip's cell 0 (--base); none: address 0.
  std::optional<std::uint32_t> base;
  bool baseAuto = false;  // --base auto: the one chip-sized window the data lies in
  std::optional<int> at;  // write, verify: the cell the file starts at
  std::string output;     // pack: the file made
  int fill = 0xFF;        // pack: the cells no part gives
  bool mirror = false;    // pack: the parts repeated through the chip
  int ways = 2;           // split: how many chips share the bus
  bool swap = false;      // split, join: the bytes of each 16-bit word swapped
  int banks = 1;          // sum: the chip's parts summed one by one
  // --format: how the file read is taken, whatever it holds or is named; the
  // format of the output written to "-" (standard output).
  std::optional<romprog::FileFormat> format;
  bool truncate = false;  // a raw image larger than the chip: its first part
  std::string logFile;    // job log; empty: the default place
  bool noLog = false;
  int entries = 10;  // log: how many to show
  // ident, read: the ROM collections (DATs) dumps are looked up in.
  std::vector<std::string> dats;
  bool verbose = false;
  // Every option as given, by its long name (else its short one), with its
  // value: what a later command line repeats.
  std::vector<std::pair<std::string, std::string>> given;
  bool help = false;  // for the command, or in general without one
  bool version = false;
};

// `args` without the program name; options may stand before and after the
// command word, files after "--" only. false with `error` set when the line
// is not one romtool can run; --help and --version need nothing else.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

// The command line that runs `command` on what `options` ran on: its port,
// chip, files and those of its options that `command` takes, less the ones
// named in `leaveOut` ("--blank-check"). Words a shell would take apart are
// quoted.
std::string CommandLineFor(const Options& options, Command command,
                           std::initializer_list<const char*> leaveOut = {});

}  // namespace romtool
