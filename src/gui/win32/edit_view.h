// Which part of a single-line field's text is in view.
#pragma once

#include <windows.h>

namespace romprog::win32 {

// A field scrolls sideways only as far as its caret needs: the text is
// brought back to its start and then moved just enough to show the caret.
// An edit control keeps its scroll position when its text gets shorter, so
// without this "00" typed over a scrolled "   3F" would show one digit only.
void FitEditView(HWND edit);

// Puts the caret after the last character and brings it into view. A byte
// field's "   3F" is wider than its 30 pixels under Wine's fonts; scrolled
// this way the blanks give way and both digits show whole.
void ShowEditEnd(HWND edit);

}  // namespace romprog::win32
