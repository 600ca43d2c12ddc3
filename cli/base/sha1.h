// SHA-1, as ROM collections (DATs) give it to confirm a CRC-32 match; from
// libgcrypt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/rom_match.h"

namespace romtool {

romprog::Sha1Digest Sha1(const std::uint8_t* data, std::size_t size);

// 40 lower-case hex digits, as DATs write it.
std::string Sha1Text(const romprog::Sha1Digest& digest);

}  // namespace romtool
