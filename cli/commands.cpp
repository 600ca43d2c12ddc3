#include "cli/commands.h"

#include <array>
#include <chrono>
#include <cinttypes>
#include <memory>

#include "cli/checksum.h"
#include "cli/chip_jobs.h"
#include "cli/chip_operations.h"
#include "cli/dump.h"
#include "cli/image_file.h"
#include "cli/interrupt.h"
#include "cli/job_log.h"
#include "cli/link_command.h"
#include "cli/progress.h"
#include "core/image.h"
#include "platform/system_serial_ports.h"

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
  if (!LoadImage(path, options.chip->activeSize, image.data(), note, error, options.lenient)) {
    Fail(streams, kUsageOrFile, error);
    return false;
  }
  if (!note.empty()) std::fprintf(streams.err, "romtool: note: %s\n", note.c_str());
  return true;
}

int Ports(const Streams& streams) {
  const std::vector<std::string> ports = romprog::ListSystemPorts();
  for (const std::string& port : ports) std::fprintf(streams.out, "%s\n", port.c_str());
  if (ports.empty()) std::fprintf(streams.err, "romtool: no serial ports found\n");
  return kSuccess;
}

int ChipCommand(const Options& options, const Streams& streams, JobRecord& record) {
  Image image{};
  if (options.command == Command::Write || options.command == Command::Verify) {
    if (!Load(options, options.files[0], image, streams)) return kUsageOrFile;
    record.NoteFile(image.data(), options.chip->activeSize);
  }
  std::string error;
  if (options.command == Command::Read && !CanSaveAt(options.files[0], error)) {
    return Fail(streams, kUsageOrFile, error);
  }
  romprog::SystemPort system = romprog::OpenSystemPort(options.port);
  romprog::OpenedPort& opened = system.opened;
  if (!opened.port) {
    return Fail(streams, kNoAnswer,
                "cannot open port: " + romprog::DescribePortFault(options.port, opened.result));
  }
  if (options.verbose) {
    std::fprintf(streams.err, "%s%s: %d cells, read command 0x%02X, write command 0x%02X\n",
                 OpenedNotes(options.port, system).c_str(), options.chip->name,
                 options.chip->activeSize, options.chip->chipCode, options.chip->chipCode + 1);
  }
  std::unique_ptr<romprog::Clock> clock = romprog::MakeSystemClock();
  Session session{*opened.port, *clock, *options.chip, streams.err, IsTerminal(streams.err)};
  const int code = RunChipJob(options, session, image.data(), streams, record);
  record.cells = session.cellsDone;
  return code;
}

// A chip command with its entry in the job log.
int LoggedChipCommand(const Options& options, const Streams& streams) {
  CatchInterrupt();
  JobRecord record;
  record.start = UtcNow();
  record.command = CommandWord(options.command);
  record.port = options.port;
  record.chip = options.chip->name;
  if (!options.files.empty()) record.file = options.files[0];
  const auto start = std::chrono::steady_clock::now();
  record.exitCode = ChipCommand(options, streams, record);
  record.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const std::string path = options.logFile.empty() ? DefaultLogPath() : options.logFile;
  if (!options.noLog && !path.empty() && !AppendLine(path, JobLine(record))) {
    std::fprintf(streams.err, "romtool: note: cannot add to the job log %s\n", path.c_str());
  }
  return record.exitCode;
}

int Log(const Options& options, const Streams& streams) {
  const std::string path = options.logFile.empty() ? DefaultLogPath() : options.logFile;
  if (path.empty() || !PrintLog(path, options.entries, streams.out)) {
    return Fail(streams, kUsageOrFile, "no job log at " + (path.empty() ? "(no home)" : path));
  }
  return kSuccess;
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
      return LoggedChipCommand(options, streams);
    case Command::Convert:
      return Convert(options, streams);
    case Command::Dump:
      return Dump(options, streams);
    case Command::Sum:
      return Sum(options, streams);
    case Command::Log:
      return Log(options, streams);
    case Command::Link:
      return LinkCommand(options, streams);
    case Command::None:
      break;
  }
  return kUsageOrFile;
}

}  // namespace romtool
