#include "cli/images/output_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "cli/base/job_log.h"
#include "cli/base/standard_streams.h"
#include "cli/images/image_file.h"
#include "platform/image_files.h"
#include "platform/process.h"

namespace romtool {
namespace {

namespace fs = std::filesystem;

// A name the folder of `target` holds for this process alone.
std::string TempBeside(const std::string& target) {
  const fs::path path(target);
  return (path.parent_path() /
          ("." + path.filename().string() + ".romtool-" + std::to_string(romprog::ProcessId())))
      .string();
}

const char* Extension(romprog::FileFormat format) {
  switch (format) {
    case romprog::FileFormat::IntelHex:
      return ".hex";
    case romprog::FileFormat::SRecord:
      return ".srec";
    case romprog::FileFormat::Binary:
      break;
  }
  return ".bin";
}

}  // namespace

OutputFile::OutputFile(const std::string& target, const Options& options)
    : target_(target), options_(options), kind_(KindOf(target)) {
  if (IsStandardStream(target) && options.format) kind_ = {*options.format, 2};
}

OutputFile::~OutputFile() {
  std::error_code ignored;
  if (!temp_.empty()) fs::remove(temp_, ignored);
}

std::string OutputFile::name() const {
  return IsStandardStream(target_) ? "standard output" : target_;
}

bool OutputFile::Reserve(std::string& error) {
  if (IsStandardStream(target_)) {
    if (!options_.format)
      error = "- (standard output) needs the format: add --format ihex|srec|bin";
    return error.empty();
  }
  if (!CanSaveAt(target_, error)) return false;
  const std::string temp = TempBeside(target_);
  std::FILE* file = std::fopen(temp.c_str(), "wb");
  if (!file) {
    error = "cannot create " + target_ + ": " + std::strerror(errno);
    return false;
  }
  std::fclose(file);
  temp_ = temp;
  return true;
}

bool OutputFile::Save(const std::uint8_t* image, int size, std::FILE* out, std::string& error) {
  if (IsStandardStream(target_)) return WriteToStream(kind_, image, size, out, error);
  std::string problem;
  if (!romprog::SaveImage(temp_, kind_, image, size, problem)) {
    error = "cannot write " + target_ + ": " + problem;
    return false;
  }
  std::error_code failed;
  fs::rename(temp_, target_, failed);
  if (failed) {
    error = "cannot write " + target_ + ": " + failed.message();
    return false;
  }
  temp_.clear();
  return true;
}

std::string OutputFile::SaveAside(const std::uint8_t* image, int size, std::string& error) const {
  const fs::path folder = fs::path(LogPath(options_.logFile)).parent_path();
  std::error_code failed;
  if (folder.empty() || (fs::create_directories(folder, failed), failed)) {
    error = "no job-log folder to keep it in" + (failed ? ": " + failed.message() : "");
    return std::string();
  }
  const std::string stamp = Replaced(UtcNow(), ":", "-");
  const std::string file = IsStandardStream(target_) ? std::string("read") + Extension(kind_.format)
                                                     : fs::path(target_).filename().string();
  const std::string aside = (folder / (stamp + "-" + file)).string();
  std::string problem;
  if (romprog::SaveImage(aside, kind_, image, size, problem)) return aside;
  error = "cannot write " + aside + ": " + problem;
  return std::string();
}

}  // namespace romtool
