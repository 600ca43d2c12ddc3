// The core speaks Windows-1251; Win32 is called through its wide-character
// functions only, so the text crosses the boundary here.
#pragma once

#include <string>

#include "shell/toolkit.h"

namespace romprog::win32 {

std::wstring Widen(const Text& text);
Text Narrow(const std::wstring& text);
Text Narrow(const wchar_t* text);

}  // namespace romprog::win32
