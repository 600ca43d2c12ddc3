#include "commands.h"

#include <array>
#include <cinttypes>
#include <memory>

#include "checksum.h"
#include "chip_operations.h"
#include "dump.h"
#include "image_file.h"
#include "link_command.h"
#include "programmer/system_serial_ports.h"
#include "progress.h"
#include "serial_access.h"
#include "shell/app.h"

namespace romtool {
namespace {

using Image = std::array<std::uint8_t, romprog::kBufferSize>;

int Fail(const Streams& streams, int code, const std::string& message) {
  std::fprintf(streams.err, "romtool: %s\n", message.c_str());
  return code;
}

// Loads the command's file for its chip; false after saying why.
bool Load(const Options& options, const std::string& path, Image& image, const Streams& streams) {
  std::string note, error;
  if (!LoadImage(path, options.chip->activeSize, image.data(), note, error)) {
    Fail(streams, kUsageOrFile, error);
    return false;
  }
  if (!note.empty()) std::fprintf(streams.err, "romtool: note: %s\n", note.c_str());
  return true;
}

int Ports(const Streams& streams) {
  const std::vector<std::string> ports = ListPorts();
  for (const std::string& port : ports) std::fprintf(streams.out, "%s\n", port.c_str());
  if (ports.empty()) std::fprintf(streams.err, "romtool: no serial ports found\n");
  return kSuccess;
}

int Report(const Streams& streams, const Verdict& verdict, const char* step) {
  if (verdict.exitCode == kSuccess) return kSuccess;
  return Fail(streams, verdict.exitCode, std::string(step) + ": " + verdict.message);
}

// The chip operations once the port is open and the files are in hand.
int RunOnChip(const Options& options, Session& session, Image& image, const Streams& streams) {
  const romprog::ChipType& chip = *options.chip;
  const int size = chip.activeSize;
  switch (options.command) {
    case Command::Blank:
      if (int code = Report(streams, BlankCheckChip(session), "blank check")) return code;
      std::fprintf(streams.out, "%s is blank: %d cells read 0xFF\n", chip.name, size);
      return kSuccess;
    case Command::Read: {
      if (int code = Report(streams, ReadChipInto(session, image.data()), "read")) return code;
      std::string error;
      if (!SaveImage(options.files[0], image.data(), size, error)) {
        return Fail(streams, kUsageOrFile, error);
      }
      std::fprintf(streams.out, "read %d bytes of %s into %s (%s)\n", size, chip.name,
                   options.files[0].c_str(), FormatName(KindOf(options.files[0]).format));
      return kSuccess;
    }
    case Command::Write:
      if (options.blankCheck) {
        if (int code = Report(streams, BlankCheckChip(session), "blank check")) return code;
      }
      if (int code = Report(streams, WriteChipFrom(session, image.data()), "write")) return code;
      if (!options.noVerify) {
        if (int code = Report(streams, VerifyChip(session, image.data()), "verify")) return code;
      }
      std::fprintf(streams.out, "wrote %d bytes of %s into %s%s\n", size, options.files[0].c_str(),
                   chip.name, options.noVerify ? "" : "; read back and compared");
      return kSuccess;
    case Command::Verify:
      if (int code = Report(streams, VerifyChip(session, image.data()), "verify")) return code;
      std::fprintf(streams.out, "%s matches %s: %d cells\n", chip.name, options.files[0].c_str(),
                   size);
      return kSuccess;
    default:
      return kUsageOrFile;
  }
}

int ChipCommand(const Options& options, const Streams& streams) {
  Image image{};
  if (options.command == Command::Write || options.command == Command::Verify) {
    if (!Load(options, options.files[0], image, streams)) return kUsageOrFile;
  }
  std::string error;
  if (options.command == Command::Read && !CanSaveAt(options.files[0], error)) {
    return Fail(streams, kUsageOrFile, error);
  }
  std::string notes;
  std::unique_ptr<romprog::SerialPort> port = OpenPort(options.port, notes);
  if (!port) return Fail(streams, kNoAnswer, "cannot open port " + options.port);
  if (options.verbose) {
    std::fprintf(streams.err, "%s%s: %d cells, read command 0x%02X, write command 0x%02X\n",
                 notes.c_str(), options.chip->name, options.chip->activeSize,
                 options.chip->chipCode, options.chip->chipCode + 1);
  }
  std::unique_ptr<romprog::SerialPorts> clock = romprog::MakeSystemSerialPorts();
  Session session{*port, *clock, *options.chip, streams.err, IsTerminal(streams.err)};
  return RunOnChip(options, session, image, streams);
}

int Convert(const Options& options, const Streams& streams) {
  Image image{};
  if (!Load(options, options.files[0], image, streams)) return kUsageOrFile;
  std::string error;
  if (!SaveImage(options.files[1], image.data(), options.chip->activeSize, error)) {
    return Fail(streams, kUsageOrFile, error);
  }
  std::fprintf(streams.out, "%s (%s) -> %s (%s), %d bytes\n", options.files[0].c_str(),
               FormatName(KindOf(options.files[0]).format), options.files[1].c_str(),
               FormatName(KindOf(options.files[1]).format), options.chip->activeSize);
  return kSuccess;
}

int Dump(const Options& options, const Streams& streams) {
  Image image{};
  if (!Load(options, options.files[0], image, streams)) return kUsageOrFile;
  const std::string rows = DumpRows(image.data(), options.chip->activeSize);
  std::fwrite(rows.data(), 1, rows.size(), streams.out);
  return kSuccess;
}

int Sum(const Options& options, const Streams& streams) {
  Image image{};
  if (!Load(options, options.files[0], image, streams)) return kUsageOrFile;
  const auto size = static_cast<std::size_t>(options.chip->activeSize);
  std::fprintf(streams.out, "byte sum  0x%04X\nCRC-32    0x%08" PRIX32 "\n",
               static_cast<unsigned>(ByteSum16(image.data(), size)), Crc32(image.data(), size));
  return kSuccess;
}

}  // namespace

int RunCommand(const Options& options, const Streams& streams) {
  switch (options.command) {
    case Command::Ports:
      return Ports(streams);
    case Command::Blank:
    case Command::Read:
    case Command::Write:
    case Command::Verify:
      return ChipCommand(options, streams);
    case Command::Convert:
      return Convert(options, streams);
    case Command::Dump:
      return Dump(options, streams);
    case Command::Sum:
      return Sum(options, streams);
    case Command::Link:
      return LinkCommand(options, streams);
    case Command::None:
      break;
  }
  return kUsageOrFile;
}

}  // namespace romtool
