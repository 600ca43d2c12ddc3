#include <gtest/gtest.h>

#include "cli/images/port_files.h"

namespace romtool::testing {
namespace {

TEST(PortFiles, EachPortReadsIntoItsOwnFile) {
  EXPECT_EQ(OutputFileFor("out/chip.hex", "/dev/ttyUSB0", 1, true), "out/chip-ttyUSB0.hex");
  EXPECT_EQ(OutputFileFor("chip", "COM3", 2, true), "chip-COM3");
  EXPECT_EQ(OutputFileFor("c-{n}-{port}.bin", "/dev/pts/3", 2, true), "c-2-pts-3.bin");
  EXPECT_EQ(OutputFileFor("chip.hex", "/dev/ttyUSB0", 1, false), "chip.hex");
}

}  // namespace
}  // namespace romtool::testing
