// romtool check: what an image shows of a bad read, as notes with their
// evidence; the same notes follow every read of a chip.
#include "cli/commands/commands.h"
#include "cli/images/chip_file.h"
#include "cli/images/image_notes.h"

namespace romtool {

int CheckCommand(const Options& options, const Streams& streams) {
  romprog::Image image{};
  if (!LoadChipFile(options, options.files[0], image, streams)) return kUsageOrFile;
  const int size = options.chip->activeSize;
  const std::vector<std::string> notes = ImageNotes(image.data(), size, options.chip->name);
  if (notes.empty()) {
    std::fprintf(streams.out, "%s: no mark of a bad read in its %d cells\n",
                 options.files[0].c_str(), size);
  }
  for (const std::string& note : notes) {
    std::fprintf(streams.out, "%s: note: %s\n", options.files[0].c_str(), note.c_str());
  }
  return kSuccess;
}

}  // namespace romtool
