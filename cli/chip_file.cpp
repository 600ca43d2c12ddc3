#include "cli/chip_file.h"

#include "cli/image_file.h"
#include "cli/standard_streams.h"

namespace romtool {

bool LoadChipFile(const Options& options, const std::string& path, romprog::Image& image,
                  const Streams& streams) {
  LoadRules rules;
  rules.lenient = options.lenient;
  rules.format = options.format;
  rules.truncate = options.truncate;
  std::string note, error;
  InputCopy input;
  const bool standard = IsStandardStream(path);
  if (standard && !input.Take(error)) return Fail(streams, kUsageOrFile, error) == kSuccess;
  const std::string& file = standard ? input.path() : path;
  const bool loaded = LoadImage(file, options.chip->activeSize, image.data(), note, error, rules);
  // The copy's name means nothing to the user.
  if (standard) {
    note = Replaced(note, file, "- (standard input)");
    error = Replaced(error, file, "- (standard input)");
  }
  if (!loaded) return Fail(streams, kUsageOrFile, error) == kSuccess;
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
