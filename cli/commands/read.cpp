// romtool read: the chip read (as many passes as asked, which must agree)
// and saved to the file, or onto standard output for "-".
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "cli/chip_findings.h"
#include "cli/commands/commands.h"
#include "cli/image_file.h"
#include "cli/output_file.h"
#include "cli/port_workers.h"
#include "cli/read_ident.h"
#include "cli/standard_streams.h"

namespace romtool {
namespace {

// The later passes against the first: cells read differently are listed as
// unstable and fail the read. `image` gets the first pass when all agree.
int ComparePasses(const ChipJob& job, const std::uint8_t* first, std::uint8_t* image) {
  std::vector<int> unstable;
  std::vector<bool> seen(static_cast<std::size_t>(job.size), false);
  romprog::Image again{};
  for (int pass = 2; pass <= job.options.passes; ++pass) {
    const std::string label = "read pass " + std::to_string(pass);
    if (int code = ReadWholeChip(job, again.data(), label)) return code;
    for (int a = 0; a < job.size; ++a) {
      if (again[a] == first[a] || seen[a]) continue;
      seen[a] = true;
      unstable.push_back(a);
      if (unstable.size() <= static_cast<std::size_t>(kListed)) {
        std::fprintf(job.streams.out, "  cell %s unstable: read %s, then %s in pass %d\n",
                     CellName(a).c_str(), ByteName(first[a]).c_str(), ByteName(again[a]).c_str(),
                     pass);
      }
    }
  }
  std::copy_n(first, job.size, image);
  if (unstable.empty()) return kSuccess;
  return Fail(job.streams, kChipFault,
              "read: " + Counted(static_cast<int>(unstable.size()), "unstable cell") +
                  " (read differently from pass to pass); " + job.file + " not written");
}

void NoteCopies(const ChipJob& job, const std::uint8_t* image) {
  const int copies = RepeatedCopies(image, job.size);
  if (copies == 1) return;
  std::fprintf(job.streams.err,
               "romtool: note: the chip reads as %d identical copies of its first %d bytes: it "
               "may be smaller than a %s, or an address line is open\n",
               copies, job.size / copies, job.chipName);
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
  std::uint8_t* image = job.image.data();
  romprog::Image first{};
  if (int code = ReadWholeChip(job, first.data(), "read")) return code;
  if (int code = ComparePasses(job, first.data(), image)) return code;
  NoteCopies(job, image);
  job.record.NoteFile(image, job.size);
  if (int code = Save(job, output, data)) return code;
  std::fprintf(job.streams.out, "read %d bytes of %s into %s (%s)%s\n", job.size, job.chipName,
               output.name().c_str(), FormatName(output.format()),
               job.options.passes > 1 ? "; every pass read the same" : "");
  IdentifyRead(job, output.name());
  return kSuccess;
}

}  // namespace

int ReadCommand(const Options& options, const Streams& streams) {
  // A file for each port, each port's thread using its own.
  std::map<std::string, std::unique_ptr<OutputFile>> outputs;
  for (const std::string& file : PortFiles(options)) {
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
  return RunChipCommand(options, told, {reserve, read});
}

}  // namespace romtool
