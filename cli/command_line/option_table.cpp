#include "cli/command_line/option_table.h"

#include <cstdint>
#include <optional>

#include "cli/command_line/chip_names.h"
#include "cli/command_line/habits.h"
#include "core/image.h"
#include "core/number_text.h"

namespace romtool {
namespace {

template <bool Options::*field>
bool Flag(const std::string&, const std::string&, Options& options, std::string&) {
  options.*field = true;
  return true;
}

template <std::string Options::*field>
bool Text(const std::string&, const std::string& value, Options& options, std::string&) {
  options.*field = value;
  return true;
}

// A number in any form NumberFromText reads, from `low` to `high`; else
// `error` names the option, what it takes and the text given.
bool NumberIn(const std::string& name, const std::string& value, std::uint32_t low,
              std::uint32_t high, const std::string& takes, std::uint32_t& number,
              std::string& error) {
  const std::optional<std::uint32_t> read = romprog::NumberFromText(value);
  if (read && *read >= low && *read <= high) {
    number = *read;
    return true;
  }
  error = name + " takes " + takes + ", not '" + value + "'";
  return false;
}

// Whole numbers from `low` to `high`.
template <int Options::*field, int low, int high>
bool Count(const std::string& name, const std::string& value, Options& options,
           std::string& error) {
  std::uint32_t number = 0;
  const std::string takes = "a number from " + std::to_string(low) + " to " + std::to_string(high);
  if (!NumberIn(name, value, low, high, takes, number, error)) return false;
  options.*field = static_cast<int>(number);
  return true;
}

bool Base(const std::string& name, const std::string& value, Options& options, std::string& error) {
  options.baseAuto = value == "auto";
  if (options.baseAuto) return true;
  std::uint32_t base = 0;
  if (!NumberIn(name, value, 0, 0xFFFFFFFFu, "an address (0xE000, $E000, E000h, 57344) or auto",
                base, error)) {
    return false;
  }
  options.base = base;
  return true;
}

bool Cell(const std::string& name, const std::string& value, Options& options, std::string& error) {
  std::uint32_t cell = 0;
  if (!NumberIn(name, value, 0, romprog::kBufferSize - 1, "a cell (0x2000, $2000, 2000h, 8k)", cell,
                error)) {
    return false;
  }
  options.at = static_cast<int>(cell);
  return true;
}

bool Fill(const std::string& name, const std::string& value, Options& options, std::string& error) {
  std::uint32_t byte = 0;
  if (!NumberIn(name, value, 0, 0xFF, "a byte (0xFF, $FF, FFh, 255)", byte, error)) return false;
  options.fill = static_cast<int>(byte);
  return true;
}

bool Ways(const std::string& name, const std::string& value, Options& options, std::string& error) {
  std::uint32_t ways = 0;
  if (!NumberIn(name, value, 2, 4, "2 or 4", ways, error) || ways == 3) {
    error = name + " takes 2 or 4, not '" + value + "'";
    return false;
  }
  options.ways = static_cast<int>(ways);
  return true;
}

// -p may be given several times, for the commands whose row says manyPorts.
bool AddPort(const std::string&, const std::string& value, Options& options, std::string& error) {
  const romprog::ChipType* chip = romprog::FindChipType(value, romprog::LetterCase::Either);
  if (!chip) chip = ChipFamilyOf(value);
  if (chip) {
    error = "-p is the port; the chip is -c " + std::string(chip->name);
    return false;
  }
  options.ports.push_back(value);
  options.port = options.ports.front();
  return true;
}

bool Repeat(const std::string& name, const std::string& value, Options& options,
            std::string& error) {
  options.repeat = true;
  return value.empty() || Count<&Options::chips, 1, 100000>(name, value, options, error);
}

bool Serial(const std::string&, const std::string& value, Options& options, std::string& error) {
  return ParseSerialRule(value, options.serial, error);
}

bool AddDat(const std::string&, const std::string& value, Options& options, std::string&) {
  options.dats.push_back(value);
  return true;
}

bool Chip(const std::string&, const std::string& value, Options& options, std::string& error) {
  options.chip = romprog::FindChipType(value, romprog::LetterCase::Either);
  if (!options.chip && (options.chip = ChipFamilyOf(value)) != nullptr) {
    options.chipNote = value + " taken as " + options.chip->name + ", its family";
  }
  if (!options.chip) {
    error = "unknown chip type '" + value + "' (use " + ChipNames(", ", " or ") + ")";
  }
  return options.chip != nullptr;
}

bool Format(const std::string& name, const std::string& value, Options& options,
            std::string& error) {
  options.format = romprog::FormatCalled(value);
  if (!options.format) error = name + " takes ihex, srec or bin, not '" + value + "'";
  return options.format.has_value();
}

constexpr CommandSet kFileReaders =
    CommandsOf({Command::Write, Command::Verify, Command::Convert, Command::Dump, Command::Sum,
                Command::Pack, Command::Split, Command::Join, Command::Check, Command::Map});

// An option's row as the table writes it: its names, then what it takes,
// the commands it belongs to and its help line, each by its name.
class Option {
 public:
  // "--passes" or "-n".
  explicit Option(const char* name) { (name[1] == '-' ? row_.longName : row_.shortName) = name; }
  Option(const char* shortName, const char* longName) {
    row_.shortName = shortName;
    row_.longName = longName;
  }
  // A value, named so in the help ("PORT"; "[N]": one may follow), that
  // `set` puts into Options.
  Option& Takes(const char* value, OptionSetter set) {
    row_.value = value;
    row_.set = set;
    return *this;
  }
  // No value: `set` notes that it was given.
  Option& Sets(OptionSetter set) {
    row_.set = set;
    return *this;
  }
  Option& For(CommandSet commands) {
    row_.commands |= commands;
    return *this;
  }
  Option& For(std::initializer_list<Command> commands) { return For(CommandsOf(commands)); }
  // Every command whose row has `column` set takes it too.
  Option& Where(bool CommandRow::*column) {
    row_.alsoWhere = column;
    return *this;
  }
  // Its line in the help of the commands that take it; without one it is
  // listed in none.
  Option& Help(const char* text) {
    row_.help = text;
    return *this;
  }
  operator OptionRow() const { return row_; }

 private:
  OptionRow row_;
};

}  // namespace

const std::vector<OptionRow>& OptionTable() {
  static const std::string chips = ChipNamesAndSizes();
  // clang-format off
  static const std::vector<OptionRow> rows = {
      Option("-p", "--port").Takes("PORT", AddPort).Where(&CommandRow::needsPort)
          .Help("serial port (Linux: /dev/ttyUSB0 ..., or the name in /dev/serial/by-id; Windows: "
                "COM3 ...); write, verify, blank and read take several, one -p each, and work on "
                "all at once (read: FILE names each port's file with {port} or {n}; else the "
                "port's name goes before its extension, rom.bin: rom-ttyUSB0.bin)"),
      Option("-c", "--chip").Takes("CHIP", Chip).For({Command::Link}).Where(&CommandRow::needsChip)
          .Help(chips.c_str()),
      Option("--passes").Takes("N", Count<&Options::passes, 1, 1000>).For({Command::Read})
          .Help("read the chip N times (default 1; 2 for archiving, 20 to 100 for a failing chip) "
                "and save FILE only when every pass read the same; else the merge, where a bit "
                "that read 0 in any pass is 0, goes to FILE.merged (rom.merged.bin) and the "
                "unstable cells to FILE.unstable.txt (exit 4)"),
      Option("--until-stable").Takes("K", Count<&Options::untilStable, 1, 1000>)
          .For({Command::Read})
          .Help("stop once K passes in a row find no new unstable cell (at most --passes N, "
                "default 100 with this option)"),
      Option("--map").Takes("OUT", Text<&Options::map>).For({Command::Read, Command::Verify})
          .Help("also draw the chip read as a PNG picture (see romtool map --help): read marks its "
                "unstable cells, verify the cells that differ from FILE"),
      Option("--png").Takes("OUT", Text<&Options::png>).For({Command::Map})
          .Help("the picture made (PNG)"),
      Option("--blank-check").Sets(Flag<&Options::blankCheck>).For({Command::Write})
          .Help("refuse unless every cell reads 0xFF"),
      Option("--no-precheck").Sets(Flag<&Options::noPrecheck>).For({Command::Write})
          .Help("do not read the chip first; by default it is read and nothing is written when it "
                "already holds FILE (exit 0) or some cell would need a bit set 0 to 1 (exit 1: "
                "erase)"),
      Option("--base").Takes("ADDR", Base)
          .For({Command::Write, Command::Verify, Command::Convert, Command::Dump, Command::Sum,
                Command::Pack, Command::Split})
          .Help("the file's address ADDR is the chip's cell 0 (Intel HEX, S-records); auto: the "
                "one chip-sized window, at a multiple of the chip's size, that holds all the data"),
      Option("--at").Takes("CELL", Cell).For({Command::Write, Command::Verify})
          .Help("the file goes to the chip from CELL on, the rest of the chip stays as it is "
                "(write reads it first); verify compares that range only"),
      Option("-o", "--output").Takes("OUT", Text<&Options::output>).For({Command::Pack})
          .Help("the image made, in the format its name says"),
      Option("--fill").Takes("BYTE", Fill).For({Command::Pack})
          .Help("the cells no part gives (default 0xFF, as erased)"),
      Option("--mirror").Sets(Flag<&Options::mirror>).For({Command::Pack})
          .Help("repeat the parts through the chip (the parts must end at a size that divides the "
                "chip's): a 2764 image for a larger socket whose upper address lines are not "
                "driven"),
      Option("--interleave").Takes("N", Ways).For({Command::Split})
          .Help("2 (a 16-bit bus: even and odd addresses) or 4 (32-bit) chips; default 2"),
      Option("--swap").Sets(Flag<&Options::swap>).For({Command::Split, Command::Join})
          .Help("swap the bytes of each 16-bit word"),
      Option("--banks").Takes("N", Count<&Options::banks, 1, 64>).For({Command::Sum})
          .Help("also the sums of each of N equal banks of the chip"),
      Option("--no-verify").Sets(Flag<&Options::noVerify>).For({Command::Write})
          .Help("do not read the chip back after writing"),
      Option("--repeat").Takes("[N]", Repeat).For({Command::Write})
          .Help("chip after chip: after each, its result and the tally, then \"put the next chip "
                "in, then Enter (q to finish)\"; ends after N chips, at q or at the end of the "
                "input; exit 0 only if every chip passed. With several ports they make each round "
                "together"),
      Option("--serial").Takes("CELL:WIDTH[:le|be|ascii|bcd][:START]", Serial)
          .For({Command::Write})
          .Help("write a serial number into each chip's copy of FILE at CELL, WIDTH cells, little- "
                "(default) or big-endian, ASCII digits or BCD; one more for each chip that passed. "
                "Without START it goes on after the last serial the job log gives FILE. CELL is "
                "the chip's cell; cells FILE fills with anything but 0xFF are refused"),
      Option("--serial-over-data").Sets(Flag<&Options::serialOverData>).For({Command::Write})
          .Help("let --serial replace data FILE gives in its cells (a serial field the build "
                "filled)"),
      Option("--json").Sets(Flag<&Options::json>).For({Command::Ident})
          .Where(&CommandRow::keepsJobLog)
          .Help("each chip job's result as one JSON object a line on stdout (the job log's "
                "fields), nothing else there; ident (and read --dat): each file's matches as one "
                "JSON object a line"),
      Option("--dat").Takes("DAT", AddDat).For({Command::Ident, Command::Read})
          .Help("a ROM collection to look dumps up in: a Logiqx DAT, mame -listxml output or a "
                "MAME software list; one --dat for each. read: also names what was read, once it "
                "is saved (read's exit code stays its own)"),
      Option("-q", "--quiet").Sets(Flag<&Options::quiet>).Where(&CommandRow::keepsJobLog)
          .Help("show errors only"),
      Option("-n").Takes("N", Count<&Options::entries, 1, 100000>).For({Command::Log})
          .Help("how many entries, the last ones (default 10)"),
      Option("--log").Takes("FILE", Text<&Options::logFile>).For({Command::Log})
          .Where(&CommandRow::keepsJobLog)
          .Help("the job log to add to (for log: to show) instead of the usual one, "
                "$XDG_DATA_HOME/romprog/romtool-log.jsonl (~/.local/share/...), "
                "%APPDATA%\\romprog\\romtool-log.jsonl on Windows"),
      Option("--no-log").Sets(Flag<&Options::noLog>).Where(&CommandRow::keepsJobLog)
          .Help("keep no record of the job"),
      Option("--lenient").Sets(Flag<&Options::lenient>).For(kFileReaders)
          .Help("take a faulty file knowingly: Intel HEX at its own addresses as the window "
                "program reads it; with --base, and S-records, every fault read past with a note. "
                "By default every record's count, characters and checksum are checked, the end "
                "record must be there and last, S5/S6 counts must match, overlapping records must "
                "agree, data outside the chip is refused; the first fault names its line (exit 2)"),
      Option("--format").Takes("FORMAT", Format).For(kFileReaders).For({Command::Read})
          .Help("ihex, srec or bin: read FILE as Intel HEX, S-records or a raw image whatever it "
                "holds or is named (by default its first record decides, else its name); with - "
                "(standard output) as the file written, which has no name to tell it, the format "
                "written there (convert then reads its input by what it holds)"),
      Option("--truncate").Sets(Flag<&Options::truncate>).For(kFileReaders)
          .Help("take the first part of a raw image larger than the chip; without it such a file "
                "is refused (exit 2), the usual cause being a wrong -c"),
      Option("-v", "--verbose").Sets(Flag<&Options::verbose>).Where(&CommandRow::needsPort)
          .Help("say how the port was opened and what it did"),
      Option("-h", "--help").Sets(Flag<&Options::help>).For(kEveryCommand),
      Option("--version").Sets(Flag<&Options::version>).For(kEveryCommand),
  };
  // clang-format on
  return rows;
}

const char* OptionName(const OptionRow& option) {
  return option.longName ? option.longName : option.shortName;
}

bool Accepts(const OptionRow& option, const CommandRow& command) {
  return (option.commands >> static_cast<unsigned>(command.command)) & 1u ||
         (option.alsoWhere && command.*option.alsoWhere);
}
}  // namespace romtool
