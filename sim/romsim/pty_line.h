// The emulator's end of a pseudo-terminal; the host opens the slave.
#pragma once

#include <memory>
#include <string>

#include "sim/unique_fd.h"

namespace romprog::sim {

class PtyLine {
 public:
  // Call in a session of our own: the slave becomes our controlling terminal.
  static std::unique_ptr<PtyLine> Open(std::string& error);
  ~PtyLine();
  PtyLine(const PtyLine&) = delete;
  PtyLine& operator=(const PtyLine&) = delete;

  int fd() const { return master_.get(); }
  int slaveFd() const { return slave_.get(); }
  const std::string& slavePath() const { return slavePath_; }
  // Points `path` at the slave, replacing an older symlink (never a file).
  bool MakeLink(const std::string& path, std::string& error);

 private:
  PtyLine() = default;

  UniqueFd master_;
  // Held open for the whole run, so the pty does not hang up while the host
  // closes and reopens the port between commands.
  UniqueFd slave_;
  std::string slavePath_;
  std::string linkPath_;
};

}  // namespace romprog::sim
