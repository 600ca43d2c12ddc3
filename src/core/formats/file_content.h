// What a file's first bytes say it is, whatever its name says: romtool reads
// Intel HEX and S-records by their first record and refuses to burn plain
// text as a raw image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/formats/file_format.h"

namespace romprog {

// How many bytes from the start of a file FormatOfRecords is given.
constexpr std::size_t kHeadSize = 4096;

// Intel HEX when the first line that is not blank starts with ':' and two hex
// digits, S-records when it starts with 'S', a digit and two hex digits; none
// when it is neither or holds a character that is not printable ASCII.
std::optional<FileFormat> FormatOfRecords(const std::uint8_t* head, std::size_t size);

// Whether `size` bytes (at least one) are text: printable ASCII, tabs and
// line ends only, with at least one line end, and after them nothing but
// CP/M's 0x1A padding. A ROM image holds code and its blank 0xFF cells.
bool IsPlainText(const std::uint8_t* bytes, std::size_t size);

}  // namespace romprog
