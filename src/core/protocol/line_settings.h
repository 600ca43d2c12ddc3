// The fixed line to the programmer: port names, the settings text handed to
// the platform, and the numbers every implementation of the line keeps.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace romprog {

// Ports offered in the port selector.
constexpr int kFirstPortNumber = 1;
constexpr int kLastPortNumber = 10;

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

// "COM3" for 3.
std::string PortName(int number);
// "       COM3": how the port selector lists port 3.
std::string PortSelectorItem(int number);
// "COM3:9600,N,8,1" for "COM3".
std::string LineSettingsText(const std::string& portName);
// The device a settings text names: the text before its first ':'.
std::string DeviceOfSettings(const std::string& settings);

// The mode part of a settings text ("9600,N,8,1"), for platforms without a
// parser of their own.
struct LineMode {
  int baud = 0;
  char parity = 'N';  // N, E, O, M or S
  int dataBits = 8;   // 5 to 8
  int stopBits = 1;   // 1 or 2
};
// nullopt when the text after the first ':' is not "baud,parity,data,stop".
std::optional<LineMode> ParseLineMode(const std::string& settings);

}  // namespace romprog
