#include "cli/chip_file.h"

#include "cli/image_file.h"

namespace romtool {

bool LoadChipFile(const Options& options, const std::string& path, romprog::Image& image,
                  const Streams& streams) {
  std::string note, error;
  if (!LoadImage(path, options.chip->activeSize, image.data(), note, error, options.lenient)) {
    Fail(streams, kUsageOrFile, error);
    return false;
  }
  if (!note.empty()) std::fprintf(streams.err, "romtool: note: %s\n", note.c_str());
  return true;
}

int LoadJobFile(const Options& options, const Streams& streams, romprog::Image& image,
                JobRecord& record) {
  if (!LoadChipFile(options, options.files[0], image, streams)) return kUsageOrFile;
  record.NoteFile(image.data(), options.chip->activeSize);
  return kSuccess;
}

}  // namespace romtool
