// The rows of the command table: the one place that knows every command, so
// it stands above them, beside main.
#include "cli/command_line/command_table.h"
#include "cli/commands/commands.h"

namespace romtool {

const std::vector<CommandRow>& CommandTable() {
  // command, name, summary, handler, needs a port, needs a chip, takes several ports, files,
  // keeps a job log, what exit 0 and exit 1 mean, more for the help.
  static const std::vector<CommandRow> rows = {
      {Command::Ports, "ports", "list the serial ports present", PortsCommand, false, false, false,
       "", false, nullptr, nullptr, nullptr},
      {Command::Blank, "blank", "read the whole chip and count its programmed cells and bits",
       BlankCommand, true, true, true, "", true, "blank", "programmed cells found", nullptr},
      {Command::Read, "read", "read the chip and save it to FILE", ReadCommand, true, true, true,
       "FILE", true, "read and saved",
       "FILE could not be saved after the read (kept in the job log's folder)",
       "With --passes the passes are merged: a bit that read 0 in any pass is 0 (a programmed "
       "bit whose charge leaks reads 1 now and then, never the other way). FILE is written only "
       "when every pass read the same; else the merge goes to FILE's name with .merged before "
       "its extension (rom.merged.bin) and the unstable cells, with how often each bit read 0 "
       "and 1, to .unstable.txt beside it (exit 4). Every read ends with notes on what the "
       "image shows: a data bit fixed, an address line that changes nothing (identical "
       "halves or blocks), an overdump, blank and zero regions.",
       nullptr, ReadPortsCheck},
      {Command::Write, "write",
       "check the chip can take FILE, write it, then read it back and compare", WriteCommand, true,
       true, true, "FILE", true, "written (or already held)",
       "chip fault or the chip needs erasing", nullptr, nullptr, nullptr, WriteCheck},
      {Command::Verify, "verify", "compare the chip with FILE and list every difference",
       VerifyCommand, true, true, true, "FILE", true, "the chip matches", "differences found",
       nullptr},
      {Command::Convert, "convert", "convert an image file to another format", ConvertCommand,
       false, true, false, "IN OUT", false, nullptr, nullptr, nullptr},
      {Command::Dump, "dump", "show FILE as a hex listing", DumpCommand, false, true, false, "FILE",
       false, nullptr, nullptr, nullptr},
      {Command::Sum, "sum", "byte sum (16-bit) and CRC-32 of the chip's part of FILE", SumCommand,
       false, true, false, "FILE", false, nullptr, nullptr, nullptr},
      {Command::Pack, "pack", "lay image files on one chip's image and print its map", PackCommand,
       false, true, false, "PART...", false, nullptr, nullptr,
       "A PART is FILE, FILE@CELL, FILE:base=ADDR or FILE:base=ADDR@CELL: the file from CELL on "
       "(default 0), its address ADDR (Intel HEX, S-records) at CELL. Parts that share a cell "
       "are refused, naming both. The map lists each part's cells, size, byte sum and CRC-32, "
       "and the free cells.",
       nullptr, nullptr, PackCheck},
      {Command::Split, "split",
       "deal an image for a 16-bit (or 32-bit) bus out over 2 (or 4) chips", SplitCommand, false,
       true, false, "IMAGE EVEN ODD...", false, nullptr, nullptr,
       "IMAGE holds 2 (4) chips' worth; EVEN gets bytes 0, 2, 4 ..., ODD bytes 1, 3, 5 ... "
       "(with 4: bytes 0, 4 ...; 1, 5 ...; 2, 6 ...; 3, 7 ...). Prints each chip's sums."},
      {Command::Join, "join", "put the chips of a 16-bit (or 32-bit) bus back into one image",
       JoinCommand, false, true, false, "EVEN ODD... IMAGE", false, nullptr, nullptr,
       "The inverse of split: 2 or 4 chip images in, one image out; prints its sums."},
      {Command::Check, "check",
       "look at FILE for the marks of a bad read (stuck data or address lines, overdumps)",
       CheckCommand, false, true, false, "FILE", false, nullptr, nullptr,
       "Notes a data bit fixed in every cell, an address line that changes nothing (identical "
       "halves, quarters or smaller blocks), an overdump, and blank (0xFF) and zero regions of "
       "256 cells or more. Each finding is a note with its evidence (the bit, the address "
       "line, the ranges), not an error: many good ROMs are half empty, and text never sets bit 7. "
       "Exit 0 whatever "
       "it finds."},
      {Command::Map, "map", "draw every cell of FILE as a picture (PNG)", MapCommand, false, true,
       false, "FILE", false, nullptr, nullptr,
       "Each cell is a tile of its 8 bits (bit 7 left), 64 cells a row, a black line every "
       "0x400 cells; light grey blank (0xFF), dark blue zero, green data (light 1, dark 0), "
       "red unstable (its unstable bits yellow), pink differing (its differing bits magenta). "
       "A data line stuck shows as a stripe down every tile, a dead address line as a block "
       "repeated. The legend is printed with the count of each kind and drawn as swatches "
       "under the grid in the same order.",
       nullptr, nullptr, MapCheck},
      {Command::Log, "log", "show the last entries of the job log", LogCommand, false, false, false,
       "", false, nullptr, nullptr, nullptr},
      {Command::Link, "link", "time the line to the programmer and forecast each operation",
       LinkCommand, true, false, false, "", false, "the programmer answers", nullptr,
       "Reads a few hundred cells and ends the exchange by lowering RTS; prints the time per "
       "cell next to the 9600-baud line time (2.08 ms) and what each operation on each chip "
       "type (with -c, on that one only) will take. When a cell takes more than 2 ms over the "
       "line time it warns: a USB-serial adapter's latency timer is the likely cause, and it says "
       "how to set it to "
       "1 ms."},
      {Command::Ident, "ident",
       "name dumps: look each FILE up in ROM collections (DATs) by size, CRC-32 and SHA-1",
       IdentCommand, false, false, false, "FILE...", false, "every file identified", nullptr,
       "Each FILE is taken as raw bytes and looked up as it is, byte-swapped, as its even and "
       "its odd bytes (the two chips of a 16-bit bus read as one image), as each half and "
       "quarter and, when it is 2 or 4 copies of its first part, as that part (an overdump), "
       "in every DAT given with --dat (Logiqx XML, mame -listxml output, MAME software lists; "
       "read as a stream, so any size will do). A ROM matches on its size and CRC-32, "
       "confirmed by its SHA-1 where the DAT gives one: a CRC-32 that agrees with a SHA-1 that "
       "does not is no match, and is said so. Each match names its piece, the set, the ROM and "
       "how it matched; a ROM the DAT marks baddump is named a bad dump. A file is identified "
       "when its matches account for every byte of it.",
       "8 some files identified, not all (or one only in part), 9 no file identified", nullptr,
       IdentCheck},
  };
  return rows;
}

}  // namespace romtool
