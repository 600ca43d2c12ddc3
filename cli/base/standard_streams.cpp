#include "cli/base/standard_streams.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/image_files.h"
#include "platform/process.h"

namespace romtool {
namespace {

// Unique to this process; no extension, so no name claims a format.
std::string TempPath(const char* role) {
  std::error_code ignored;
  return (std::filesystem::temp_directory_path(ignored) /
          ("romtool-" + std::to_string(romprog::ProcessId()) + "-" + role))
      .string();
}

}  // namespace

bool IsStandardStream(const std::string& path) {
  return path == "-";
}

InputCopy::~InputCopy() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove(path_, ignored);
}

bool InputCopy::Take(std::string& error) {
  romprog::BinaryMode(stdin);
  path_ = TempPath("in");
  std::ofstream copy(path_, std::ios::binary | std::ios::trunc);
  char block[4096];
  std::size_t got = 0;
  while (copy && (got = std::fread(block, 1, sizeof block, stdin)) > 0) {
    copy.write(block, static_cast<std::streamsize>(got));
  }
  if (std::ferror(stdin)) {
    error = std::string("cannot read standard input: ") + std::strerror(errno);
    return false;
  }
  if (!copy.flush()) {
    error = "cannot keep standard input in " + path_ + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

bool WriteToStream(const romprog::FileKind& kind, const std::uint8_t* image, int size,
                   std::FILE* out, std::string& error) {
  const std::string path = TempPath("out");
  std::string problem;
  if (!romprog::SaveImage(path, kind, image, size, problem)) {
    error = "cannot make the file for standard output in " + path + ": " + problem;
    return false;
  }
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  romprog::BinaryMode(out);
  if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() || std::fflush(out) != 0) {
    error = std::string("cannot write to standard output: ") + std::strerror(errno);
    return false;
  }
  return true;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace romtool
