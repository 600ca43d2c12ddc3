// What a whole read of the chip tells, as romtool says it: whether the chip
// is blank, and where it differs from the file and whether writing alone can
// mend that.
#pragma once

#include <cstdint>
#include <string>

#include "cli/images/chip_compare.h"
#include "cli/run/chip_job.h"

namespace romtool {

// 0 when blank, else the programmed cells and bits told (exit 1).
int ReportBlank(const ChipJob& job, const BlankMeasure& measure);

// The whole chip read and compared with `image` (verify, and write's read-
// back): 0 when it matches, else every difference listed, merged into
// ranges (exit 1). `readTwice`: a chip that differs is read once more, which
// tells unstable cells from those that need erasing or did not take their
// value.
// `read`, when given, gets the chip as read (for a picture of it).
int VerifyChip(const ChipJob& job, const std::uint8_t* image, bool readTwice = false,
               std::uint8_t* read = nullptr);

// "1 cell", "2 cells".
std::string Counted(int count, const std::string& noun);
// "1 cell needs", "2 cells need".
std::string NeedSetting(int count);

}  // namespace romtool
