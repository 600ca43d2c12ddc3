// A part of `romtool pack` as its command line writes it:
// FILE, FILE@CELL, FILE:base=ADDR, FILE:base=ADDR@CELL (ADDR may be auto).
// An @ in the file's name is the name's when a '.', '/', '\' or ':' follows it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace romtool {

struct PackPart {
  std::string path;
  int cell = 0;
  std::optional<std::uint32_t> base;
  bool autoBase = false;
};

// false with `error` naming the part and what is wrong with it.
bool ParsePart(const std::string& text, PackPart& part, std::string& error);

}  // namespace romtool
