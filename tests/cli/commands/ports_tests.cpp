// romtool ports: the adapters it finds, and a by-id name that opens one.
#include <gtest/gtest.h>

#include "tests/cli/commands/romtool_fixture.h"

namespace romtool::testing {
namespace {

// A made-up /dev and /sys: an FTDI adapter whose tty is romsim's pty.
TEST_F(RomtoolTest, PortsTellTheAdapterAndItsByIdNameOpensIt) {
  Start();
  namespace fs = std::filesystem;
  const fs::path dev = dir / "dev", sys = dir / "sys", usb = sys / "devices/pci0/usb1/1-2";
  fs::create_directories(dev / "serial/by-id");
  fs::create_directories(usb / "1-2:1.0/ttyUSB0");
  fs::create_directories(sys / "class/tty/ttyUSB0");
  for (auto [name, text] : {std::pair{"idVendor", "0403"},
                            {"idProduct", "6001"},
                            {"manufacturer", "FTDI"},
                            {"product", "FT232R USB UART"},
                            {"serial", "A10KX2B3"}}) {
    WriteWhole(usb / name, std::string(text) + "\n");
  }
  fs::create_directory_symlink("../../../devices/pci0/usb1/1-2/1-2:1.0/ttyUSB0",
                               sys / "class/tty/ttyUSB0/device");
  fs::create_symlink(port, dev / "ttyUSB0");
  const std::string byId = "usb-FTDI_FT232R_USB_UART_A10KX2B3-if00-port0";
  fs::create_symlink("../../ttyUSB0", dev / "serial/by-id" / byId);
  setenv("ROMPROG_DEV", dev.c_str(), 1);
  setenv("ROMPROG_SYSFS", sys.c_str(), 1);
  const Outcome ports = Romtool({"ports"});
  EXPECT_SAYS(ports, (dev / "ttyUSB0").string() + "  0403:6001  FTDI FT232R USB UART  serial " +
                         "A10KX2B3  " + (dev / "serial/by-id" / byId).string() + "\n");
  const Outcome blank = Romtool({"blank", "-p", byId, "-c", "27C64"});
  EXPECT_EQ(blank.code, 0) << blank.output;
  unsetenv("ROMPROG_DEV");
  unsetenv("ROMPROG_SYSFS");
}

}  // namespace
}  // namespace romtool::testing
