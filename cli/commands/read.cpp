// romtool read: the chip read (as many passes as asked, which must agree)
// and saved to the file, or onto standard output for "-"; passes that differ
// leave their merge beside the file instead.
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "cli/base/standard_streams.h"
#include "cli/commands/commands.h"
#include "cli/images/image_file.h"
#include "cli/images/image_notes.h"
#include "cli/images/map_picture.h"
#include "cli/images/output_file.h"
#include "cli/images/port_files.h"
#include "cli/run/chip_command.h"
#include "cli/run/chip_findings.h"
#include "cli/run/job_plan.h"
#include "cli/run/read_ident.h"
#include "cli/run/read_passes.h"

namespace romtool {
namespace {

// The notes on what the image shows of a bad read, on stderr.
void NoteChecks(const ChipJob& job, const std::uint8_t* image) {
  if (job.options.quiet) return;
  for (const std::string& note : ImageNotes(image, job.size, job.chipName)) {
    std::fprintf(job.streams.err, "romtool: note: %s\n", note.c_str());
  }
}

// --map: the picture of the chip read, its unstable cells marked.
int DrawMap(const ChipJob& job, const romprog::PassMerge& merge) {
  if (job.options.map.empty()) return kSuccess;
  std::vector<std::uint8_t> unstable(static_cast<std::size_t>(job.size));
  for (const romprog::UnstableCell& cell : merge.UnstableList()) unstable[cell.address] = cell.bits;
  const romprog::MapInput input{merge.merged().data(), job.size, unstable.data()};
  std::string error;
  if (!SaveCellMap(job.options.map, input, error)) return Fail(job.streams, kUsageOrFile, error);
  std::fprintf(job.streams.out, "%s", MapLegend(job.options.map, input).c_str());
  return kSuccess;
}

// A read that cannot be saved where asked is kept in the job log's folder.
int Save(const ChipJob& job, OutputFile& output, std::FILE* data) {
  std::string error, aside;
  if (output.Save(job.image.data(), job.size, data, error)) return kSuccess;
  const std::string kept = output.SaveAside(job.image.data(), job.size, aside);
  if (kept.empty()) return Fail(job.streams, kChipFault, error + "; the read is lost: " + aside);
  return Fail(job.streams, kChipFault, error + "; the read is kept in " + kept + " instead");
}

int Read(const ChipJob& job, OutputFile& output, std::FILE* data) {
  romprog::PassMerge merge(job.size);
  const int code = ReadPasses(job, merge);
  // A stop keeps what the passes finished before it give.
  if (code != kSuccess && !(code == kStopped && merge.passes() > 0)) return code;
  std::uint8_t* image = job.image.data();
  std::copy(merge.merged().begin(), merge.merged().end(), image);
  job.record.NoteChip(image, job.size);
  if (PassesAsked(job.options) > 1) {
    job.record.passes = merge.passes();
    job.record.unstableCells = merge.unstableCells();
    job.record.unstableBits = merge.UnstableBits();
  }
  NoteChecks(job, image);
  const int drawn = DrawMap(job, merge);
  if (code == kStopped || !merge.Agreed()) return KeepMerged(job, merge, code == kStopped);
  job.record.NoteFile(image, job.size);
  if (int saved = Save(job, output, data)) return saved;
  std::fprintf(job.streams.out, "read %d bytes of %s into %s (%s)%s\n", job.size, job.chipName,
               output.name().c_str(), FormatName(output.format()),
               merge.passes() > 1
                   ? ("; all " + std::to_string(merge.passes()) + " passes read the same").c_str()
                   : "");
  IdentifyRead(job, output.name());
  return drawn;
}

}  // namespace

int ReadCommand(const Options& options, const Streams& streams) {
  // A file for each port, each port's thread using its own.
  const std::vector<std::string> files = PortFiles(options);
  std::map<std::string, std::unique_ptr<OutputFile>> outputs;
  for (const std::string& file : files) {
    outputs[file] = std::make_unique<OutputFile>(file, options);
  }
  // Standard output carries the image then; what is said goes to stderr.
  const Streams told =
      IsStandardStream(options.files[0]) ? Streams{streams.err, streams.err} : streams;
  // Before the port opens, so a long read does not end in nothing.
  const auto reserve = [&outputs](const Options& given, const Streams& to, romprog::Image&,
                                  JobRecord&) {
    if (int code = CheckDats(given, to)) return code;
    std::string error;
    for (auto& [file, output] : outputs) {
      if (!output->Reserve(error)) return Fail(to, kUsageOrFile, error);
    }
    return static_cast<int>(kSuccess);
  };
  const auto read = [&outputs, &streams](const ChipJob& job) {
    return Read(job, *outputs.at(job.options.files[0]), streams.out);
  };
  return RunChipCommand(options, told, {reserve, read, files});
}

// Several ports cannot share standard output: each port's read is a file of
// its own.
std::string ReadPortsCheck(const Options& options) {
  if (options.files.size() == 1 && options.files[0] == "-") {
    return "read onto standard output (-) takes one port";
  }
  return std::string();
}

}  // namespace romtool
