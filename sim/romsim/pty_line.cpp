#include "sim/romsim/pty_line.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "sim/raw_line.h"

namespace romprog::sim {
namespace {

std::string Failed(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

std::unique_ptr<PtyLine> PtyLine::Open(std::string& error) {
  std::unique_ptr<PtyLine> line(new PtyLine());
  line->master_ = UniqueFd(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!line->master_.valid()) {
    error = Failed("posix_openpt");
    return nullptr;
  }
  char name[PATH_MAX] = {};
  if (grantpt(line->fd()) != 0 || unlockpt(line->fd()) != 0 ||
      ptsname_r(line->fd(), name, sizeof name) != 0) {
    error = Failed("cannot set up the pty");
    return nullptr;
  }
  line->slavePath_ = name;
  // Without O_NOCTTY: as a session leader with no terminal we take this one.
  line->slave_ = UniqueFd(open(name, O_RDWR | O_CLOEXEC));
  if (!line->slave_.valid()) {
    error = Failed("cannot open the pty slave");
    return nullptr;
  }
  ioctl(line->slave_.get(), TIOCSCTTY, 0);
  if (!SetRawLine(line->slave_.get())) {
    error = Failed("cannot make the pty raw");
    return nullptr;
  }
  return line;
}

PtyLine::~PtyLine() {
  if (linkPath_.empty()) return;
  char target[PATH_MAX] = {};
  const ssize_t n = readlink(linkPath_.c_str(), target, sizeof target - 1);
  // Someone else may have pointed the link elsewhere since; leave that alone.
  if (n > 0 && slavePath_ == std::string(target, static_cast<std::size_t>(n))) {
    unlink(linkPath_.c_str());
  }
}

bool PtyLine::MakeLink(const std::string& path, std::string& error) {
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
    error = path + " exists and is not a symlink";
    return false;
  }
  const std::string temp = path + ".romsim" + std::to_string(getpid());
  unlink(temp.c_str());
  if (symlink(slavePath_.c_str(), temp.c_str()) != 0 || rename(temp.c_str(), path.c_str()) != 0) {
    error = Failed(("cannot link " + path).c_str());
    unlink(temp.c_str());
    return false;
  }
  linkPath_ = path;
  return true;
}

}  // namespace romprog::sim
