#include "cli/job_plan.h"

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
      return options.passes > 0 ? options.passes : 1;
    default:
      return 1;
  }
}

}  // namespace romtool
