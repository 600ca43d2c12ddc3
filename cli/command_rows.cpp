// The rows of the command table: the one place that knows every command, so
// it stands above them, beside main.
#include "cli/command_line/command_table.h"
#include "cli/commands/commands.h"

namespace romtool {
namespace {

// A row as the table writes it: the command, its word, handler and summary,
// then what it has beyond them, each by its name.
class Row {
 public:
  Row(Command command, const char* name, CommandHandler run, const char* summary) {
    row_.command = command;
    row_.name = name;
    row_.run = run;
    row_.summary = summary;
  }
  // A job on the chip in the programmer: -p and -c, on several ports at
  // once, kept in the job log.
  Row& ChipJob() {
    row_.needsPort = row_.needsChip = row_.manyPorts = row_.keepsJobLog = true;
    return *this;
  }
  Row& NeedsPort() { return Put(&CommandRow::needsPort, true); }
  Row& NeedsChip() { return Put(&CommandRow::needsChip, true); }
  Row& Files(const char* files) { return Put(&CommandRow::files, files); }
  // What exit 0 and exit 1 mean for it, and the exit codes it has of its own.
  Row& Success(const char* meaning) { return Put(&CommandRow::success, meaning); }
  Row& Fault(const char* meaning) { return Put(&CommandRow::fault, meaning); }
  Row& MoreExits(const char* meanings) { return Put(&CommandRow::moreExits, meanings); }
  Row& About(const char* text) { return Put(&CommandRow::about, text); }
  Row& CheckPorts(CommandCheck check) { return Put(&CommandRow::checkPorts, check); }
  Row& Check(CommandCheck check) { return Put(&CommandRow::check, check); }
  operator CommandRow() const { return row_; }

 private:
  template <typename Value>
  Row& Put(Value CommandRow::*column, Value value) {
    row_.*column = value;
    return *this;
  }

  CommandRow row_;
};

}  // namespace

const std::vector<CommandRow>& CommandTable() {
  // clang-format off
  static const std::vector<CommandRow> rows = {
      Row(Command::Ports, "ports", PortsCommand, "list the serial ports present"),
      Row(Command::Blank, "blank", BlankCommand,
          "read the whole chip and count its programmed cells and bits")
          .ChipJob().Success("blank").Fault("programmed cells found"),
      Row(Command::Read, "read", ReadCommand, "read the chip and save it to FILE")
          .ChipJob().Files("FILE").Success("read and saved")
          .Fault("FILE could not be saved after the read (kept in the job log's folder)")
          .About("With --passes the passes are merged: a bit that read 0 in any pass is 0 (a "
                 "programmed bit whose charge leaks reads 1 now and then, never the other way). "
                 "FILE is written only when every pass read the same; else the merge goes to "
                 "FILE's name with .merged before its extension (rom.merged.bin) and the unstable "
                 "cells, with how often each bit read 0 and 1, to .unstable.txt beside it (exit "
                 "4). Every read ends with notes on what the image shows: a data bit fixed, an "
                 "address line that changes nothing (identical halves or blocks), an overdump, "
                 "blank and zero regions.")
          .CheckPorts(ReadPortsCheck),
      Row(Command::Write, "write", WriteCommand,
          "check the chip can take FILE, write it, then read it back and compare")
          .ChipJob().Files("FILE").Success("written (or already held)")
          .Fault("chip fault or the chip needs erasing").Check(WriteCheck),
      Row(Command::Verify, "verify", VerifyCommand,
          "compare the chip with FILE and list every difference")
          .ChipJob().Files("FILE").Success("the chip matches").Fault("differences found"),
      Row(Command::Convert, "convert", ConvertCommand, "convert an image file to another format")
          .NeedsChip().Files("IN OUT"),
      Row(Command::Dump, "dump", DumpCommand, "show FILE as a hex listing")
          .NeedsChip().Files("FILE"),
      Row(Command::Sum, "sum", SumCommand,
          "byte sum (16-bit) and CRC-32 of the chip's part of FILE")
          .NeedsChip().Files("FILE"),
      Row(Command::Pack, "pack", PackCommand,
          "lay image files on one chip's image and print its map")
          .NeedsChip().Files("PART...")
          .About("A PART is FILE, FILE@CELL, FILE:base=ADDR or FILE:base=ADDR@CELL: the file from "
                 "CELL on (default 0), its address ADDR (Intel HEX, S-records) at CELL. Parts that "
                 "share a cell are refused, naming both. The map lists each part's cells, size, "
                 "byte sum and CRC-32, and the free cells.")
          .Check(PackCheck),
      Row(Command::Split, "split", SplitCommand,
          "deal an image for a 16-bit (or 32-bit) bus out over 2 (or 4) chips")
          .NeedsChip().Files("IMAGE EVEN ODD...")
          .About("IMAGE holds 2 (4) chips' worth; EVEN gets bytes 0, 2, 4 ..., ODD bytes 1, 3, 5 "
                 "... (with 4: bytes 0, 4 ...; 1, 5 ...; 2, 6 ...; 3, 7 ...). Prints each chip's "
                 "sums."),
      Row(Command::Join, "join", JoinCommand,
          "put the chips of a 16-bit (or 32-bit) bus back into one image")
          .NeedsChip().Files("EVEN ODD... IMAGE")
          .About("The inverse of split: 2 or 4 chip images in, one image out; prints its sums."),
      Row(Command::Check, "check", CheckCommand,
          "look at FILE for the marks of a bad read (stuck data or address lines, overdumps)")
          .NeedsChip().Files("FILE")
          .About("Notes a data bit fixed in every cell, an address line that changes nothing "
                 "(identical halves, quarters or smaller blocks), an overdump, and blank (0xFF) "
                 "and zero regions of 256 cells or more. Each finding is a note with its evidence "
                 "(the bit, the address line, the ranges), not an error: many good ROMs are half "
                 "empty, and text never sets bit 7. Exit 0 whatever it finds."),
      Row(Command::Map, "map", MapCommand, "draw every cell of FILE as a picture (PNG)")
          .NeedsChip().Files("FILE")
          .About("Each cell is a tile of its 8 bits (bit 7 left), 64 cells a row, a black line "
                 "every 0x400 cells; light grey blank (0xFF), dark blue zero, green data (light 1, "
                 "dark 0), red unstable (its unstable bits yellow), pink differing (its differing "
                 "bits magenta). A data line stuck shows as a stripe down every tile, a dead "
                 "address line as a block repeated. The legend is printed with the count of each "
                 "kind and drawn as swatches under the grid in the same order.")
          .Check(MapCheck),
      Row(Command::Log, "log", LogCommand, "show the last entries of the job log"),
      Row(Command::Link, "link", LinkCommand,
          "time the line to the programmer and forecast each operation")
          .NeedsPort().Success("the programmer answers")
          .About("Reads a few hundred cells and ends the exchange by lowering RTS; prints the time "
                 "per cell next to the 9600-baud line time (2.08 ms) and what each operation on "
                 "each chip type (with -c, on that one only) will take. When a cell takes more "
                 "than 2 ms over the line time it warns: a USB-serial adapter's latency timer is "
                 "the likely cause, and it says how to set it to 1 ms."),
      Row(Command::Ident, "ident", IdentCommand,
          "name dumps: look each FILE up in ROM collections (DATs) by size, CRC-32 and SHA-1")
          .Files("FILE...").Success("every file identified")
          .MoreExits("8 some files identified, not all (or one only in part), 9 no file identified")
          .About("Each FILE is taken as raw bytes and looked up as it is, byte-swapped, as its "
                 "even and its odd bytes (the two chips of a 16-bit bus read as one image), as "
                 "each half and quarter and, when it is 2 or 4 copies of its first part, as that "
                 "part (an overdump), in every DAT given with --dat (Logiqx XML, mame -listxml "
                 "output, MAME software lists; read as a stream, so any size will do). A ROM "
                 "matches on its size and CRC-32, confirmed by its SHA-1 where the DAT gives one: "
                 "a CRC-32 that agrees with a SHA-1 that does not is no match, and is said so. "
                 "Each match names its piece, the set, the ROM and how it matched; a ROM the DAT "
                 "marks baddump is named a bad dump. A file is identified when its matches account "
                 "for every byte of it.")
          .Check(IdentCheck),
  };
  // clang-format on
  return rows;
}

}  // namespace romtool
