#include "cli/run/job_plan.h"

#include <algorithm>

namespace romtool {
namespace {

constexpr int kPassesUntilStable = 100;

}  // namespace

int PassesAsked(const Options& options) {
  const bool given = std::any_of(options.given.begin(), options.given.end(),
                                 [](const auto& option) { return option.first == "--passes"; });
  return options.untilStable > 0 && !given ? kPassesUntilStable : options.passes;
}

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
