#include "sim/romsim/chip_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/file_io.h"

namespace romprog::sim {
namespace {

std::string Reason(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
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
  if (WriteWholeFile(path, chip.data(), chip.size())) return true;
  error = Reason("cannot write", path);
  return false;
}

}  // namespace romprog::sim
