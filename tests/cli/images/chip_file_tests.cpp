#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "cli/images/chip_file.h"
#include "core/chip_types.h"

namespace romtool::testing {
namespace {

// The job log keeps --base whole, however many digits it has: a ROM at
// 0x10000 or 0xF8000 is logged there, not at the cell its low digits name.
TEST(ChipFile, TheJobRecordKeepsTheWholeBase) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("romtool-chip-file-" + std::to_string(getpid()) + ".hex");
  const struct {
    std::uint32_t base;
    const char* logged;
  } cases[] = {{0xE000, "0xE000"}, {0x10000, "0x10000"}, {0xF8000, "0xF8000"}};
  for (const auto& [base, logged] : cases) {
    // One byte at `base`: an extended linear address, then the data record.
    const unsigned upper = base >> 16;
    const unsigned low = base & 0xFFFF;
    char lines[128];
    std::snprintf(lines, sizeof lines, ":02000004%04X%02X\n:01%04X0055%02X\n:00000001FF\n", upper,
                  (0x100 - ((2 + 4 + (upper >> 8) + (upper & 0xFF)) & 0xFF)) & 0xFF, low,
                  (0x100 - ((1 + (low >> 8) + (low & 0xFF) + 0x55) & 0xFF)) & 0xFF);
    std::ofstream(path) << lines;
    Options options;
    options.chip = &romprog::kChipTypes[0];
    options.base = base;
    options.files = {path.string()};
    std::FILE* said = std::tmpfile();
    romprog::Image image{};
    JobRecord record;
    EXPECT_EQ(LoadJobFile(options, Streams{said, said}, image, record), kSuccess) << lines;
    std::fclose(said);
    EXPECT_EQ(image[0], 0x55) << lines;
    EXPECT_EQ(record.base, logged);
  }
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

}  // namespace
}  // namespace romtool::testing
