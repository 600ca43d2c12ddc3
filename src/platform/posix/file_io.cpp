#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
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
  if (fd >= 0) {
    handle_ = fd;
  } else {
    error_ = static_cast<unsigned long>(errno);
  }
}

InputFile::~InputFile() {
  if (IsOpen()) ::close(static_cast<int>(handle_));
}

std::int64_t InputFile::Size() {
  struct stat info {};
  if (!IsOpen()) return -1;
  if (::fstat(static_cast<int>(handle_), &info) != 0) {
    error_ = static_cast<unsigned long>(errno);
    return -1;
  }
  return static_cast<std::int64_t>(info.st_size);
}

std::int64_t InputFile::Read(std::uint8_t* data, std::size_t size) {
  if (!IsOpen()) return -1;
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(handle_), data, size);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error_ = static_cast<unsigned long>(errno);
    return got;
  }
}

Text InputFile::Problem() const {
  return error_ != 0 ? std::strerror(static_cast<int>(error_)) : Text();
}

bool WriteWholeFile(const Text& path, const std::uint8_t* data, std::size_t size) {
  Text ignored;
  return WriteWholeFile(path, data, size, ignored);
}

bool WriteWholeFile(const Text& path, const std::uint8_t* data, std::size_t size, Text& problem) {
  problem.clear();
  std::string temporary;
  const int fd = CreateTemporary(path, temporary);
  if (fd < 0) {
    problem = std::strerror(errno);
    return false;
  }
  // The first step that fails names the problem.
  const auto step = [&problem](bool done) {
    if (!done && problem.empty()) problem = std::strerror(errno);
    return done;
  };
  bool ok = step(WriteAll(fd, data, size));
  ok = step(::fsync(fd) == 0) && ok;
  ok = step(::close(fd) == 0) && ok;
  ok = ok && step(std::rename(temporary.c_str(), path.c_str()) == 0);
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

bool SameFile(const Text& a, const Text& b) {
  struct stat first {
  }, second{};
  if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace romprog
