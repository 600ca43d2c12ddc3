// Numbers as people type addresses, bytes and sizes: 0x1F, $1F, 1Fh (an h
// at the end always means hex, so 10h is 16), 31, and sizes in KiB, 8k or
// 32K. Letter case never matters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace romprog {

// The value `text` writes, none when it is no number in those forms or
// above 0xFFFFFFFF.
std::optional<std::uint32_t> NumberFromText(const std::string& text);

}  // namespace romprog
