#include "cli/run/job_plan.h"

#include <algorithm>

#include "cli/run/read_passes.h"

namespace romtool {

int PlannedSteps(const Options& options) {
  switch (options.command) {
    case Command::Write: {
      // Write checks the chip first for --blank-check and --at even without
      // its precheck (see commands/write.cpp).
      const bool check = options.blankCheck || !options.noPrecheck || options.at.has_value();
      return (check ? 1 : 0) + 1 + (options.noVerify ? 0 : 1);
    }
    case Command::Read:
      return std::max(PassesAsked(options), 1);
    default:
      return 1;
  }
}

std::string ReadStepName(const Options& options) {
  return PlannedSteps(options) > 1 ? "pass" : "read";
}

}  // namespace romtool
