#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace romprog {
namespace {

constexpr int kTemporaryNameTries = 100;

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// A new, empty file next to `path` that no one else uses; -1 when none can be made.
int CreateTemporary(const std::string& path, std::string& name) {
  for (int n = 0; n < kTemporaryNameTries; ++n) {
    name = path + ".~" + std::to_string(n);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

InputFile::InputFile(const Text& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0) handle_ = fd;
}

InputFile::~InputFile() {
  if (IsOpen()) ::close(static_cast<int>(handle_));
}

std::int64_t InputFile::Size() {
  struct stat info {};
  if (!IsOpen() || ::fstat(static_cast<int>(handle_), &info) != 0) return -1;
  return static_cast<std::int64_t>(info.st_size);
}

std::int64_t InputFile::Read(std::uint8_t* data, std::size_t size) {
  if (!IsOpen()) return -1;
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(handle_), data, size);
    if (got < 0 && errno == EINTR) continue;
    return got;
  }
}

bool WriteWholeFile(const Text& path, const std::uint8_t* data, std::size_t size) {
  std::string temporary;
  const int fd = CreateTemporary(path, temporary);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, data, size);
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

}  // namespace romprog
