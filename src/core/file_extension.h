// The extension that decides how a file is read and whether a save appends one.
#pragma once

#include "core/text.h"

namespace romprog {

// The text after the last dot of `name` that no backslash or slash follows,
// lower-cased; "" when there is no such dot.
Text FileExtension(const Text& name);

// The name a save writes to: `chosen`, with ".hex" (Intel HEX) or ".bin"
// (raw image) appended unless its FileExtension already is that.
Text SaveFileName(const Text& chosen, bool intelHex);

}  // namespace romprog
