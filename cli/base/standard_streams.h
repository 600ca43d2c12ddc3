// "-" in place of a file: standard input where romtool reads an image,
// standard output where it writes one. The image readers and writers take
// files by path, so the bytes pass through a temporary file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/formats/file_format.h"

namespace romtool {

bool IsStandardStream(const std::string& path);

// Standard input read to its end into a temporary file, removed with this.
class InputCopy {
 public:
  InputCopy() = default;
  InputCopy(const InputCopy&) = delete;
  InputCopy& operator=(const InputCopy&) = delete;
  ~InputCopy();
  // false with `error` set when standard input or the copy fails.
  bool Take(std::string& error);
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The first `size` bytes of `image` as a file of `kind` onto `out`, in
// binary mode on Windows; false with `error` set.
bool WriteToStream(const romprog::FileKind& kind, const std::uint8_t* image, int size,
                   std::FILE* out, std::string& error);

// `text` with every `from` in it replaced by `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to);

}  // namespace romtool
