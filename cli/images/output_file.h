// Where read and convert put an image: the file named, made through a
// temporary file beside it that is created before any work (so a place that
// cannot take a file is refused before a long read of the chip, with the
// system's reason), or standard output for "-".
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "cli/command_line/options.h"
#include "core/formats/file_format.h"

namespace romtool {

class OutputFile {
 public:
  OutputFile(const std::string& target, const Options& options);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // Removes the temporary file unless it became the target.
  ~OutputFile();

  // Before the work: false with `error` set (exit kUsageOrFile). "-" needs
  // --format, as no name tells the format.
  bool Reserve(std::string& error);
  // The first `size` bytes of `image` into the target, or onto `out` for "-".
  bool Save(const std::uint8_t* image, int size, std::FILE* out, std::string& error);
  // The image kept in the job log's folder when Save failed: where, or empty
  // with `error` set.
  std::string SaveAside(const std::uint8_t* image, int size, std::string& error) const;

  romprog::FileFormat format() const { return kind_.format; }
  // "x.bin", or "standard output".
  std::string name() const;

 private:
  const std::string target_;
  const Options& options_;
  romprog::FileKind kind_;
  std::string temp_;
};

}  // namespace romtool
