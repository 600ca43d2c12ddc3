// A string as a JSON string literal, for romtool's --json lines.
#pragma once

#include <string>

namespace romtool {

// `text` in double quotes, '"' and '\' escaped, control bytes as \u00XX;
// other bytes (UTF-8) as they are.
std::string JsonQuoted(const std::string& text);

}  // namespace romtool
