// romtool convert: an image file saved in the format of another name, or of
// --format onto standard output ("-").
#include "cli/base/same_file.h"
#include "cli/base/standard_streams.h"
#include "cli/commands/commands.h"
#include "cli/images/chip_file.h"
#include "cli/images/image_file.h"
#include "cli/images/output_file.h"

namespace romtool {

int ConvertCommand(const Options& options, const Streams& streams) {
  // --format names the output's format when that goes to standard output;
  // the input is read by what it holds then.
  const std::string clash = OutputClash({options.files[0]}, {options.files[1]});
  if (!clash.empty()) return Fail(streams, kUsageOrFile, clash);
  Options reading = options;
  if (IsStandardStream(options.files[1])) reading.format.reset();
  romprog::Image image{};
  if (!LoadChipFile(reading, options.files[0], image, streams)) return kUsageOrFile;
  // Only now: the input may be standard input, waiting for bytes, and
  // Ctrl-C ends convert at once, with no chance to remove the twin.
  OutputFile output(options.files[1], options);
  std::string error;
  if (!output.Reserve(error)) return Fail(streams, kUsageOrFile, error);
  if (!output.Save(image.data(), options.chip->activeSize, streams.out, error)) {
    return Fail(streams, kUsageOrFile, error);
  }
  std::fprintf(IsStandardStream(options.files[1]) ? streams.err : streams.out,
               "%s -> %s (%s), %d bytes\n", options.files[0].c_str(), output.name().c_str(),
               FormatName(output.format()), options.chip->activeSize);
  return kSuccess;
}

}  // namespace romtool
