// The chip types as help and messages name them, built from kChipTypes so
// that every list names each type the programmer takes.
#pragma once

#include <string>

namespace romtool {

// Each type's name, `between` two of them and `beforeLast` before the last:
// ("|", "|") "27C64|27C128|27C256"; (", ", " or ") "27C64, 27C128 or 27C256".
std::string ChipNames(const std::string& between, const std::string& beforeLast);

// Each type with its size: "27C64 (8 KiB), 27C128 (16 KiB), 27C256 (32 KiB)".
std::string ChipNamesAndSizes();

}  // namespace romtool
