// DATs made in a test, their figures worked out apart from romtool's own
// code: CRC-32 bit by bit from the polynomial, SHA-1 by coreutils' sha1sum.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "sim/host/romsim_client.h"
#include "tests/support/cli_test_support.h"

namespace romtool::testing {

inline std::uint32_t BitwiseCrc32(const std::string& data) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : data) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// sha1sum's 40 hex digits for `data`, by way of a file in `dir`.
inline std::string Sha1Sum(const TempDir& dir, const std::string& data) {
  const std::string path = dir / "sha1sum.in";
  WriteWhole(path, data);
  std::string out;
  romprog::sim::RunToEnd("/usr/bin/sha1sum", {path}, out);
  return out.substr(0, 40);
}

// A Logiqx <rom/> for `data`; `sha1` replaces its SHA-1 ("" leaves it out),
// `status` adds one.
inline std::string RomElement(const TempDir& dir, const std::string& name, const std::string& data,
                              const char* sha1 = nullptr, const std::string& status = "") {
  char crc[16];
  std::snprintf(crc, sizeof crc, "%08x", static_cast<unsigned>(BitwiseCrc32(data)));
  const std::string digest = sha1 ? std::string(sha1) : Sha1Sum(dir, data);
  return "<rom name=\"" + name + "\" size=\"" + std::to_string(data.size()) + "\" crc=\"" + crc +
         "\"" + (digest.empty() ? "" : " sha1=\"" + digest + "\"") +
         (status.empty() ? "" : " status=\"" + status + "\"") + "/>";
}

inline std::string LogiqxDat(const std::string& games) {
  return "<?xml version=\"1.0\"?>\n<datafile>\n<header><name>test</name></header>\n" + games +
         "</datafile>\n";
}

inline std::string Game(const std::string& name, const std::string& description,
                        const std::string& roms) {
  return "<game name=\"" + name + "\">\n<description>" + description + "</description>\n" + roms +
         "\n</game>\n";
}

}  // namespace romtool::testing
