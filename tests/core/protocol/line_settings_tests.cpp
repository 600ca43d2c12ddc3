// The serial line's names and settings text.
#include <gtest/gtest.h>

#include "core/protocol/line_settings.h"

namespace romprog::testing {
namespace {

TEST(LineSettings, NamesAndSettingsText) {
  EXPECT_EQ(PortName(3), "COM3");
  EXPECT_EQ(PortName(10), "COM10");
  const LineSettings line = ProgrammerLine("COM3");
  EXPECT_EQ(line.device, "COM3");
  EXPECT_EQ(SettingsText(line), "COM3:9600,N,8,1");
  LineSettings other = ProgrammerLine("/dev/ttyUSB0");
  other.baud = 19200;
  other.parity = 'E';
  other.dataBits = 7;
  other.stopBits = 2;
  EXPECT_EQ(SettingsText(other), "/dev/ttyUSB0:19200,E,7,2");
}

}  // namespace
}  // namespace romprog::testing
