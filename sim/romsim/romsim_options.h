// Command line of romsim.
#pragma once

#include <string>
#include <vector>

#include "sim/device/device_model.h"

namespace romprog::sim {

struct RomsimOptions {
  std::string chipFile;    // empty: a blank chip that is forgotten at exit
  std::string linkPath;    // symlink made to the pty slave
  std::string devicePath;  // serve a real serial device instead of a pty
  std::string logFile;
  bool followCts = false;  // frame by the device's CTS line instead of by silence
  int paceBaud = 0;        // 0: answer as fast as the line allows
  int silenceMs = 300;
  int latencyMs = 0;  // the adapter's latency timer toward the host (0: none)
  int lateMs = 1400;  // how late the byte of --late-at comes
  DeviceOptions device;
  bool help = false;
};

// False with `error` set when the arguments make no sense.
bool ParseRomsimOptions(const std::vector<std::string>& args, RomsimOptions& options,
                        std::string& error);
const char* RomsimUsage();

}  // namespace romprog::sim
