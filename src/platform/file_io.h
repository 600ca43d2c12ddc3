// The little of the file system the file commands need. Paths are
// Windows-1251 text as the dialogs return them; on Windows they are opened
// through the wide API, elsewhere their bytes are the path.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/byte_source.h"
#include "core/text.h"

namespace romprog {

// A file opened for reading (others may read it meanwhile); closed with the object.
class InputFile : public ByteSource {
 public:
  explicit InputFile(const Text& path);
  ~InputFile() override;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool IsOpen() const { return handle_ != kClosed; }
  // The size in bytes, -1 when it cannot be taken.
  std::int64_t Size();
  std::int64_t Read(std::uint8_t* data, std::size_t size) override;
  // Why opening, sizing or reading failed last, in the system's words ("No
  // such file or directory"); empty when nothing has failed.
  Text Problem() const;

 private:
  static constexpr std::intptr_t kClosed = -1;
  std::intptr_t handle_ = kClosed;
  unsigned long error_ = 0;  // errno or GetLastError of the last failure
};

// Makes `data` the whole content of the file `path`, creating or replacing
// it. The bytes go to a new file in the same folder first, which takes the
// place of `path` only once it is completely written and closed, so a failed
// save leaves whatever was at `path` untouched. False when any step fails;
// no temporary file remains then.
bool WriteWholeFile(const Text& path, const std::uint8_t* data, std::size_t size);
// The same, with the system's words for the step that failed in `problem`.
bool WriteWholeFile(const Text& path, const std::uint8_t* data, std::size_t size, Text& problem);

// Whether `a` and `b` name one existing file, whatever the names (links,
// "./x" and "x", another case on Windows): the same device and inode, on
// Windows the same volume and file index. False when either does not exist.
bool SameFile(const Text& a, const Text& b);

}  // namespace romprog
