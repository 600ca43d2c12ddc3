// romtool log: the last entries of the job log as a table.
#include "cli/base/job_log.h"
#include "cli/commands/commands.h"

namespace romtool {

int LogCommand(const Options& options, const Streams& streams) {
  const std::string path = LogPath(options.logFile);
  if (path.empty() || !PrintLog(path, options.entries, streams.out)) {
    return Fail(streams, kUsageOrFile, "no job log at " + (path.empty() ? "(no home)" : path));
  }
  return kSuccess;
}

}  // namespace romtool
