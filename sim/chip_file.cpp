#include "chip_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace romprog::sim {
namespace {

std::string Reason(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Reads exactly chip.size() bytes and checks that nothing follows them.
bool ReadWhole(int fd, ChipImage& chip, std::string& error, const std::string& path) {
  std::size_t got = 0;
  std::uint8_t extra = 0;
  for (;;) {
    std::uint8_t* into = got < chip.size() ? chip.data() + got : &extra;
    const std::size_t room = got < chip.size() ? chip.size() - got : 1;
    const ssize_t n = read(fd, into, room);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = Reason("cannot read", path);
      return false;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
    if (got > chip.size()) break;
  }
  if (got != chip.size()) {
    error = path + " is not a chip file: it must hold exactly " + std::to_string(chip.size()) +
            " bytes";
    return false;
  }
  return true;
}

}  // namespace

bool LoadOrCreateChip(const std::string& path, ChipImage& chip, std::string& error) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    chip.fill(0xFF);
    return SaveChip(path, chip, error);
  }
  if (fd < 0) {
    error = Reason("cannot open", path);
    return false;
  }
  const bool ok = ReadWhole(fd, chip, error, path);
  close(fd);
  return ok;
}

bool SaveChip(const std::string& path, const ChipImage& chip, std::string& error) {
  const std::string temp = path + ".tmp" + std::to_string(getpid());
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = Reason("cannot create", temp);
    return false;
  }
  bool ok = WriteAll(fd, chip.data(), chip.size()) && fsync(fd) == 0;
  if (!ok) error = Reason("cannot write", temp);
  if (close(fd) != 0 && ok) {
    ok = false;
    error = Reason("cannot write", temp);
  }
  if (ok && rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    error = Reason("cannot replace", path);
  }
  if (!ok) unlink(temp.c_str());
  return ok;
}

}  // namespace romprog::sim
