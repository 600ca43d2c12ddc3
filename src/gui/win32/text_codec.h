// The core speaks Windows-1251; Win32 is called through its wide-character
// functions only, so the text crosses the boundary here.
#pragma once

#include <string>

#include "gui/toolkit.h"

namespace romprog::win32 {

std::wstring Widen(const Text& text);
// The same into a caller's buffer of `capacity` characters, NUL-terminated
// (cut short if need be); no allocation, for the listing's many short cells.
void WidenInto(const Text& text, wchar_t* out, std::size_t capacity);
Text Narrow(const std::wstring& text);
Text Narrow(const wchar_t* text);

}  // namespace romprog::win32
