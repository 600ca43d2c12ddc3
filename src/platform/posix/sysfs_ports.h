// What Linux tells about a tty beyond its name: the USB device behind it
// (from sysfs) and the stable name udev gives it under /dev/serial/by-id.
// The roots are parameters so a made-up tree can stand in for /sys and /dev.
#pragma once

#include <string>

#include "platform/system_serial_ports.h"

namespace romprog::posix {

// /dev and /sys, or ROMPROG_DEV and ROMPROG_SYSFS when set.
std::string DevRoot();
std::string SysfsRoot();

// The USB ids, maker, product and serial number of the device behind tty
// `ttyName` ("ttyUSB0") into `facts`; nothing when it is no USB device.
void ReadUsbFacts(const std::string& sysfs, const std::string& ttyName, PortFacts& facts);

// The link under DEV/serial/by-id that leads to `device`; empty when none.
std::string ByIdLink(const std::string& dev, const std::string& device);

}  // namespace romprog::posix
