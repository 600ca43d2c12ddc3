// The line to the programmer: Windows port names, the typed line settings handed to
// the platform, and the driver time-outs every implementation of the line keeps.
#pragma once

#include <cstdint>
#include <string>

namespace romprog {

// Driver time-outs, in milliseconds. A one-byte read waits at most
// kReadTotalConstant + kReadTotalMultiplier; a one-byte write at most
// kWriteTotalMultiplier + kWriteTotalConstant.
constexpr std::uint32_t kReadIntervalTimeout = 100;
constexpr std::uint32_t kReadTotalMultiplier = 10;
constexpr std::uint32_t kReadTotalConstant = 100;
constexpr std::uint32_t kWriteTotalMultiplier = 100;
constexpr std::uint32_t kWriteTotalConstant = 10;
constexpr int kReadSliceMs = kReadTotalMultiplier + kReadTotalConstant;
constexpr int kWriteLimitMs = kWriteTotalMultiplier + kWriteTotalConstant;

// The device and the mode of its line.
struct LineSettings {
  std::string device;  // "COM3", "/dev/ttyUSB0"
  int baud = 9600;
  char parity = 'N';  // N, E or O
  int dataBits = 8;
  int stopBits = 1;
};

// "COM3" for 3: how Windows names its serial ports.
std::string PortName(int number);
// The programmer's line on `device`: 9600 baud, 8 data bits, no parity, 1 stop bit.
LineSettings ProgrammerLine(const std::string& device);
// "COM3:9600,N,8,1": the settings as a Windows mode text.
std::string SettingsText(const LineSettings& settings);

}  // namespace romprog
